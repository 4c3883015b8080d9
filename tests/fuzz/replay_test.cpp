// Every committed input of every fuzz target, run by the ordinary suite;
// what the netlink and config text parsers read is compared with a golden.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include <gtest/gtest.h>

#include "targets.h"

namespace linkscope::fuzz {
namespace {

namespace fs = std::filesystem;

struct NamedTarget {
    const char* name;
    void (*run)(const std::uint8_t* data, std::size_t size);
    std::string (*describe)(const std::uint8_t* data, std::size_t size);
};

const NamedTarget kTargets[] = {
    {"machine_file", MachineFileTarget, nullptr},
    {"nic_library", NicLibraryTarget, nullptr},
    {"teaming_provider", TeamingProviderTarget, nullptr},
    {"device_registry", DeviceRegistryTarget, nullptr},
    {"netlink", NetlinkTarget, DescribeNetlink},
    {"config_text", ConfigTextTarget, DescribeConfigText},
    {"output_formats", OutputFormatsTarget, nullptr},
};

const fs::path kRoot = fs::path(LINKSCOPE_SOURCE_DIR) / "tests" / "fuzz";

std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The committed inputs of a target, in the order of their paths.
std::vector<fs::path> Inputs(const std::string& target) {
    std::vector<fs::path> inputs;
    for (const char* folder : {"corpus", "regressions"}) {
        if (!fs::is_directory(kRoot / folder / target)) continue;
        for (const auto& entry : fs::directory_iterator(kRoot / folder / target)) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class ReplayTest : public ::testing::TestWithParam<NamedTarget> {};

TEST_P(ReplayTest, EveryCommittedInputPasses) {
    const std::vector<fs::path> inputs = Inputs(GetParam().name);
    EXPECT_FALSE(inputs.empty()) << "no committed input for " << GetParam().name;
    std::string described;
    for (const fs::path& input : inputs) {
        const std::string bytes = Contents(input);
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        // Shown only when the run aborts on a broken invariant.
        std::cerr << "replaying " << input << '\n';
        GetParam().run(data, bytes.size());
        if (!GetParam().describe) continue;
        described += "== " + input.filename().string() + "\n" + GetParam().describe(data, bytes.size());
    }
    if (GetParam().describe) {
        EXPECT_EQ(described, Contents(kRoot / "expected" / (std::string(GetParam().name) + ".txt")));
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, ReplayTest, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace linkscope::fuzz
