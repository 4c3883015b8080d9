// The host's object model: CIM values, references, status texts and the
// plug-in manager as an object store. Commit routing is exercised by the
// provider's tests, object paths by the format and golden-file tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "kvl/core.h"
#include "kvl/hub.h"
#include "kvl/values.h"
#include "support/fake_plugin.h"
#include "support/status_of.h"

namespace {

using namespace NQRXKVL20;
using linkscope::testing::FakePlugin;
using linkscope::testing::kNothingThrown;
using linkscope::testing::StatusOf;

TCIMValue StringArray(const std::vector<TCIMValue>& elements) {
    return TCIMValue(TCIMType(kCIMTypeStringArray), 0, elements);
}

TEST(CimValueTest, ConversionsToStringAndUnsigned) {
    EXPECT_EQ(static_cast<std::string>(TCIMValue(18446744073709551615ull)), "18446744073709551615");
    EXPECT_EQ(static_cast<std::string>(TCIMValue("x")), "x");
    EXPECT_EQ(static_cast<unsigned int>(TCIMValue(true)), 1u);
    EXPECT_EQ(static_cast<unsigned int>(TCIMValue(static_cast<unsigned short>(9))), 9u);
    EXPECT_EQ(static_cast<unsigned int>(TCIMValue(4294967295ull)), 4294967295u);
    EXPECT_EQ(static_cast<unsigned int>(TCIMValue("401")), 401u);

    const TCIMValue refused[] = {
        TCIMValue(),   TCIMValue(""),  TCIMValue("12abc"), TCIMValue("-1"), TCIMValue(" 1"),
        TCIMValue("99999999999999999999"), TCIMValue(4294967296ull), TCIMValue(TCIMReference()),
        StringArray({TCIMValue("1")}),
    };
    for (const TCIMValue& value : refused) {
        EXPECT_EQ(StatusOf([&] { static_cast<void>(static_cast<unsigned int>(value)); }), kKVLStatusTypeMismatch)
            << value.ToString();
    }
}

TEST(CimValueTest, EqualityNeedsSameKindAndValueAndArraysHoldOnlyStrings) {
    EXPECT_EQ(TCIMValue(), TCIMValue());
    EXPECT_EQ(TCIMValue("a"), TCIMValue(std::string("a")));
    EXPECT_NE(TCIMValue("a"), TCIMValue("A"));
    EXPECT_NE(TCIMValue(5u), TCIMValue(5ull));
    EXPECT_NE(TCIMValue(5u), TCIMValue("5"));
    EXPECT_NE(TCIMValue(false), TCIMValue());
    EXPECT_EQ(StringArray({TCIMValue("a"), TCIMValue("b")}), StringArray({TCIMValue("a"), TCIMValue("b")}));
    EXPECT_NE(StringArray({TCIMValue("a"), TCIMValue("b")}), StringArray({TCIMValue("b"), TCIMValue("a")}));
    EXPECT_EQ(StatusOf([] { StringArray({TCIMValue("a"), TCIMValue(1u)}); }), kKVLStatusTypeMismatch);
    EXPECT_THROW(TCIMValue(TCIMType(kCIMTypeUInt32), 0, {}), TKVLException);
    EXPECT_THROW(TCIMValue("a").Elements(), TKVLException);
}

const boost::shared_ptr<ICIMNamespace> kNoNamespace;

// Paths list keys in name order, quoted and escaped; nested references and
// ordinals show in the format tests' object paths.
TEST(CimReferenceTest, PathsAndEqualityOfNamespaceClassKeysAndOrdinal) {
    const TCIMPropertyMap portKeys{{"SystemName", TCIMValue("HOST")}, {"DeviceID", TCIMValue("{A\\B}")},
                                   {"CreationClassname", TCIMValue("say \"hi\"")}, {"Number", TCIMValue(7u)}};
    EXPECT_EQ(TCIMReference(kNoNamespace, "QRXSG_Port", portKeys).ToString(),
              "QRXSG_Port.CreationClassname=\"say \\\"hi\\\"\",DeviceID=\"{A\\\\B}\",Number=7,SystemName=\"HOST\"");

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

using InstanceVector = std::vector<boost::shared_ptr<ICIMInstance>>;

class HubTest : public ::testing::Test {
protected:
    boost::shared_ptr<ICIMInstance> Create(const std::string& className) {
        return ns->GetClass(className, {})->CreateInstance({});
    }

    InstanceVector Enumerate(const std::string& className) {
        InstanceVector found;
        ns->GetClass(className, {})->EnumerateInstances(TAddToVectorCallback<ICIMInstance>(&found), true, {});
        return found;
    }

    boost::shared_ptr<TPluginManagerNamespace> ns = boost::make_shared<TPluginManagerNamespace>();
    FakePlugin plugin;
};

TEST_F(HubTest, AnotherProvidersClassIsKnownOnceDefinedAndItsLookupFailsWithTheStatusSet) {
    EXPECT_EQ(StatusOf([&] { ns->GetClass("qrxsg_ipservice", {}); }), kKVLStatusInvalidClass) << "names are exact";
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_PCIDevice", {}); }), kKVLStatusInvalidClass);
    EXPECT_EQ(StatusOf([&] { ns->SetLookupStatus("QRXSG_PCIDevice", kKVLStatusFailed); }), kKVLStatusInvalidClass);
    ns->DefineClass("QRXSG_PCIDevice", {"DeviceID"});
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_PCIDevice", {}); }), kNothingThrown);

    ns->SetLookupStatus("QRXSG_PCIDevice", kKVLStatusNotFound);
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_PCIDevice", {}); }), kKVLStatusNotFound);
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_IPService", {}); }), kNothingThrown);
    ns->SetLookupStatus("QRXSG_PCIDevice", kKVLStatusOk);
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_PCIDevice", {}); }), kNothingThrown);
}

TEST_F(HubTest, DereferencingAnUnsetPropertyReachesTheAssertionHandler) {
    boost::shared_ptr<ICIMProperty> missing = Create("QRXSG_IPService")->GetProperty("HostName", {});
    EXPECT_FALSE(missing);

    TRootObject::CoreLogger().Clear();
    EXPECT_EQ(StatusOf([&] { missing->GetValue({}); }), kKVLStatusAssertionFailed);
    const auto& entries = TRootObject::CoreLogger().Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].level, 1);
    EXPECT_NE(entries[0].text.find("px != 0"), std::string::npos);
    EXPECT_NE(entries[0].text.find("shared_ptr.hpp:"), std::string::npos);
}

TEST_F(HubTest, RunawayEnumerationIsRefusedAndRoutingRecovers) {
    plugin.On("QRXSG_SpareGroup", [this](auto, ICIMClass&) { Enumerate("QRXSG_SpareGroup"); });
    ns->RegisterPlugin(&plugin);

    EXPECT_THROW(Enumerate("QRXSG_SpareGroup"), TKVLException);
    EXPECT_EQ(plugin.queries(), 16);
    Create("QRXSG_IPService")->Commit({});
    EXPECT_EQ(ns->Committed().size(), 1u) << "a commit after the refusal reaches the output again";
}

TEST(HubLifetimeTest, CommittedReferencesDoNotKeepTheNamespaceAlive) {
    auto ns = boost::make_shared<TPluginManagerNamespace>();
    const boost::weak_ptr<TPluginManagerNamespace> watch = ns;
    auto link = ns->GetClass("QRXSG_ActsAsSpare", {})->CreateInstance({});
    link->SetProperty("Group", TCIMValue(link->GetReference({})), {});
    link->Commit({});
    link.reset();
    ns.reset();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
