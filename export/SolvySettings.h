#pragma once
// Where the last second-model configuration is kept between runs: one binary value of the
// user's settings. An interface, so the model can be tested against failing stores.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

// A store that cannot read or write the value throws this, with a text for the user.
class TSolvySettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSolvyConfigStore {
public:
    virtual ~TSolvyConfigStore() = default;
    // The stored bytes; nullopt when there is no value. Throws TSolvySettingsError when the value
    // exists but is not binary.
    virtual std::optional<std::vector<std::uint8_t>> Read() = 0;
    // Throws TSolvySettingsError when the value could not be stored.
    virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
};

// The value "ConfigSolvy" in group "Initialisation/PlanoraPro" of the user's settings.
TSolvyConfigStore& SolvySettingsStore();
