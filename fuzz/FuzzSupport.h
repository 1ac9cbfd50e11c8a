#pragma once
// Shared by the fuzz targets: a host that swallows messages, and a private folder in which each
// input is written to a file before the engine reads it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <filesystem>
#include <string>

#include "engine/Host.h"

class TQuietHost final : public THost {
public:
    void ShowMessage(const std::string&) override {}
    bool Ask(const std::string&, const std::string&) override { return false; }
    void ProcessMessages() override {}
    void SetWaitCursor(bool) override {}
};

inline void InstallQuietHost() {
    static TQuietHost host;
    SetHost(&host);
}

// Created on first use, removed when the fuzzer exits; the quiet host is installed with it.
inline const std::string& FuzzFolder() {
    static const std::string folder = [] {
        InstallQuietHost();
        std::string templ = (std::filesystem::temp_directory_path() / "planora-fuzz-XXXXXX").string();
        if (!::mkdtemp(templ.data())) std::abort();
        static std::string removeAtExit;
        removeAtExit = templ;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removeAtExit, ec);
        });
        return templ;
    }();
    return folder;
}

// A newly constructed sequence for each input, without constructing and faulting in half a
// megabyte every time: a copy of one kept pristine, into one reused object.
template <typename T>
T& FreshObject() {
    static const auto pristine = std::make_unique<T>();
    static const auto work = std::make_unique<T>();
    std::memcpy(static_cast<void*>(work.get()), pristine.get(), sizeof(T));
    return *work;
}

inline std::string WriteInput(const std::string& leaf, const std::uint8_t* data, std::size_t size) {
    const std::string path = FuzzFolder() + "/" + leaf;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) std::abort();
    return path;
}

inline void RemoveFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

inline bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}
