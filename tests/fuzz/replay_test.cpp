// Every committed input of every fuzz target, run by the ordinary suite:
// the seed corpora and the inputs that once found a fault.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include <gtest/gtest.h>

#include "targets.h"

namespace linkscope::fuzz {
namespace {

struct NamedTarget {
    const char* name;
    Target run;
};

const NamedTarget kTargets[] = {
    {"machine_file", MachineFileTarget},   {"nic_library", NicLibraryTarget},
    {"teaming_provider", TeamingProviderTarget}, {"device_registry", DeviceRegistryTarget},
    {"netlink", NetlinkTarget},            {"config_text", ConfigTextTarget},
    {"output_formats", OutputFormatsTarget},
};

void PrintTo(const NamedTarget& target, std::ostream* out) { *out << target.name; }

class ReplayTest : public ::testing::TestWithParam<NamedTarget> {};

TEST_P(ReplayTest, EveryCommittedInputPasses) {
    const std::filesystem::path root = std::filesystem::path(LINKSCOPE_SOURCE_DIR) / "tests" / "fuzz";
    int replayed = 0;
    for (const char* folder : {"corpus", "regressions"}) {
        const std::filesystem::path inputs = root / folder / GetParam().name;
        if (!std::filesystem::is_directory(inputs)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(inputs)) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            // Shown only when the run aborts on a broken invariant.
            std::cerr << "replaying " << entry.path() << '\n';
            GetParam().run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0) << "no committed input for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Targets, ReplayTest, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace linkscope::fuzz
