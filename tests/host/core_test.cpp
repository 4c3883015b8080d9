// Object paths and reference equality, status texts, the core logger, the
// machine name and the schema helpers.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <boost/make_shared.hpp>

#include "kvl/core.h"
#include "kvl/hub.h"

namespace {

using namespace NQRXKVL20;

const boost::shared_ptr<ICIMNamespace> kNoNamespace;

TEST(CimReferenceTest, PathListsKeysInNameOrderQuotedAndEscaped) {
    TCIMPropertyMap keys;
    keys["SystemName"] = TCIMValue("HOST");
    keys["DeviceID"] = TCIMValue("{A\\B}");
    keys["CreationClassname"] = TCIMValue("say \"hi\"");
    keys["Number"] = TCIMValue(7u);
    const TCIMReference port(kNoNamespace, "QRXSG_Port", keys);
    EXPECT_EQ(port.ToString(),
              "QRXSG_Port.CreationClassname=\"say \\\"hi\\\"\",DeviceID=\"{A\\\\B}\",Number=7,SystemName=\"HOST\"");

    // A reference key nests the escaped path of its target.
    const TCIMReference eth0(kNoNamespace, "QRXSG_Port", TCIMPropertyMap{{"DeviceID", TCIMValue("eth0")}});
    const TCIMReference association(kNoNamespace, "QRXSG_Uses", TCIMPropertyMap{{"Antecedent", TCIMValue(eth0)}});
    EXPECT_EQ(association.ToString(), "QRXSG_Uses.Antecedent=\"QRXSG_Port.DeviceID=\\\"eth0\\\"\"");

    TCIMReference keyless(kNoNamespace, "QRXSG_NextHopIPRoute", TCIMPropertyMap());
    EXPECT_EQ(keyless.ToString(), "QRXSG_NextHopIPRoute");
    keyless.SetOrdinal(3);
    EXPECT_EQ(keyless.ToString(), "QRXSG_NextHopIPRoute=@3");
}

TEST(CimReferenceTest, EqualityComparesNamespaceClassKeysAndOrdinal) {
    const auto ns = boost::make_shared<TPluginManagerNamespace>();
    const TCIMPropertyMap keys{{"Name", TCIMValue("a")}};
    const TCIMReference base(ns, "C", keys);
    TCIMReference numbered(ns, "C", keys);
    numbered.SetOrdinal(1);

    EXPECT_EQ(TCIMReference(), TCIMReference());
    EXPECT_EQ(base, TCIMReference(ns, "C", keys));
    EXPECT_NE(base, TCIMReference(ns, "C", TCIMPropertyMap{{"Name", TCIMValue("b")}}));
    EXPECT_NE(base, TCIMReference(ns, "D", keys));
    EXPECT_NE(base, TCIMReference(kNoNamespace, "C", keys));
    EXPECT_NE(base, TCIMReference());
    EXPECT_NE(base, numbered);
}

TEST(StatusTest, ExceptionTextNamesStatusCodeAndDetail) {
    EXPECT_EQ(TranslateStatusCode(kKVLStatusInvalidClass), "Invalid class (15)");
    EXPECT_EQ(TranslateStatusCode(999), "Unknown status (999)");
    const TKVLException withDetail(kKVLStatusInvalidClass, "QRXSG_Foo");
    EXPECT_STREQ(withDetail.what(), "Invalid class (15): QRXSG_Foo");
    EXPECT_EQ(withDetail.TranslateStatusCode(), "Invalid class (15): QRXSG_Foo");
    EXPECT_STREQ(TKVLException(kKVLStatusFailed).what(), "Failed (1)");
}

TEST(CoreLoggerTest, KeepsEveryEntryAndEchoesWhatIsLoggedAfterwards) {
    TCoreLogger logger;
    std::vector<std::pair<int, std::string>> echoed;
    logger.Log(3, "before echo");
    logger.SetEcho([&echoed](int level, const std::string& text) { echoed.emplace_back(level, text); });
    logger.Log(1, "No Network Adapters Found.");

    ASSERT_EQ(logger.Entries().size(), 2u);
    EXPECT_EQ(logger.Entries()[0].level, 3);
    EXPECT_EQ(logger.Entries()[1].text, "No Network Adapters Found.");
    EXPECT_EQ(echoed, (std::vector<std::pair<int, std::string>>{{1, "No Network Adapters Found."}}));
}

TEST(MachineNameTest, OverrideWinsUntilCleared) {
    const auto ns = boost::make_shared<TPluginManagerNamespace>();
    const std::string own = TOSSpecific::GetMachineName();
    EXPECT_FALSE(own.empty());
    TOSSpecific::SetMachineName("LAB-07");
    EXPECT_EQ(TCIMSchemaHelper::GetSystemName(ns), "LAB-07");
    TOSSpecific::SetMachineName("");
    EXPECT_EQ(TOSSpecific::GetMachineName(), own);
}

TEST(SchemaHelperTest, SystemClassComesFromTheNamespaceGiven) {
    EXPECT_EQ(TCIMSchemaHelper::GetSystemCreationClassName(boost::make_shared<TPluginManagerNamespace>()),
              "QRXSG_ComputerSystem");
    EXPECT_THROW(TCIMSchemaHelper::GetSystemCreationClassName(kNoNamespace), TKVLException);
    EXPECT_THROW(TCIMSchemaHelper::GetSystemName(kNoNamespace), TKVLException);
}

}  // namespace
