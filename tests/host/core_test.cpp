// Core logger, machine name and schema helpers.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <boost/make_shared.hpp>

#include "kvl/core.h"
#include "kvl/hub.h"

namespace {

using namespace NQRXKVL20;

TEST(CoreLoggerTest, KeepsEveryEntryAndEchoesAsLogged) {
    TCoreLogger logger;
    std::vector<std::pair<int, std::string> > echoed;
    logger.Log(3, "before echo");
    logger.SetEcho([&echoed](int level, const std::string& text) {
        echoed.emplace_back(level, text);
    });
    logger.Log(1, "No Network Adapters Found.");

    ASSERT_EQ(logger.Entries().size(), 2u);
    EXPECT_EQ(logger.Entries()[0].level, 3);
    EXPECT_EQ(logger.Entries()[1].text, "No Network Adapters Found.");
    ASSERT_EQ(echoed.size(), 1u);
    EXPECT_EQ(echoed[0].first, 1);
}

TEST(CoreLoggerTest, RootObjectHandsOutTheCoreLogger) {
    TRootObject::CoreLogger().Clear();
    TRootObject::GetCoreLogger()->Log(3, "Handling Physical NICs.");
    ASSERT_EQ(TRootObject::CoreLogger().Entries().size(), 1u);
    EXPECT_EQ(TRootObject::CoreLogger().Entries()[0].level, 3);
}

TEST(MachineNameTest, OverrideWinsUntilCleared) {
    const auto ns = boost::make_shared<TPluginManagerNamespace>();
    const std::string own = TOSSpecific::GetMachineName();
    EXPECT_FALSE(own.empty());
    TOSSpecific::SetMachineName("LAB-07");
    EXPECT_EQ(TOSSpecific::GetMachineName(), "LAB-07");
    EXPECT_EQ(TCIMSchemaHelper::GetSystemName(ns), "LAB-07");
    TOSSpecific::SetMachineName("");
    EXPECT_EQ(TOSSpecific::GetMachineName(), own);
}

TEST(SchemaHelperTest, SystemClassComesFromTheNamespaceGiven) {
    const auto ns = boost::make_shared<TPluginManagerNamespace>();
    EXPECT_EQ(TCIMSchemaHelper::GetSystemCreationClassName(ns), "QRXSG_ComputerSystem");
    EXPECT_THROW(TCIMSchemaHelper::GetSystemCreationClassName(boost::shared_ptr<ICIMNamespace>()),
                 TKVLException);
    EXPECT_THROW(TCIMSchemaHelper::GetSystemName(boost::shared_ptr<ICIMNamespace>()),
                 TKVLException);
}

}  // namespace
