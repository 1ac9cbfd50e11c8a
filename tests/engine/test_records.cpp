#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "Electsequence.h"

namespace {
template <typename T>
T At(const TElectSequence& s, std::size_t offset) {
    T v;
    std::memcpy(&v, reinterpret_cast<const char*>(&s) + offset, sizeof v);
    return v;
}
}  // namespace

TEST(Records, DefaultImage) {
    auto s = std::make_unique<TElectSequence>();
    EXPECT_EQ(At<std::uint32_t>(*s, 2048), 0x29040001u);
    EXPECT_EQ(At<std::uint32_t>(*s, 12484), 0x29040001u);
    EXPECT_EQ(std::strcmp(reinterpret_cast<const char*>(s.get()) + 28376 + 92, "NewSeq"), 0);
    EXPECT_EQ(At<std::int32_t>(*s, 28376 + 112), -1);
    EXPECT_EQ(At<std::int32_t>(*s, 28376 + 143976), 1);
    EXPECT_EQ(s->FileName[0], '\0');
    EXPECT_EQ(s->Comment[0], '\0');
}
