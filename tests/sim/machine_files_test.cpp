// Every machine description shipped in machines/ loads and yields a platform.
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/sim/machine_file.h"

namespace linkscope::sim {
namespace {

TEST(MachineFilesTest, EveryShippedMachineLoads) {
    int loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(LINKSCOPE_MACHINES_DIR)) {
        if (entry.path().extension() != ".json") continue;
        SCOPED_TRACE(entry.path().string());
        try {
            const auto platform = MakeSimulatedPlatform(LoadMachineFile(entry.path().string()));
            EXPECT_EQ(platform->IpHelper().GetAdaptersInfo().result, platform::kSuccess);
        } catch (const MachineFileError& e) {
            ADD_FAILURE() << e.what();
        }
        ++loaded;
    }
    EXPECT_GE(loaded, 3);
}

}  // namespace
}  // namespace linkscope::sim
