// Object paths, reference equality and status texts.
#include <gtest/gtest.h>

#include <string>

#include <boost/make_shared.hpp>

#include "kvl/hub.h"
#include "kvl/values.h"

namespace {

using namespace NQRXKVL20;

TEST(CimReferenceTest, PathListsKeysInNameOrderQuotedAndEscaped) {
    TCIMPropertyMap keys;
    keys["SystemName"] = TCIMValue("HOST");
    keys["DeviceID"] = TCIMValue("{A\\B}");
    keys["CreationClassname"] = TCIMValue("say \"hi\"");
    keys["Number"] = TCIMValue(7u);
    const TCIMReference reference(boost::shared_ptr<ICIMNamespace>(), "QRXSG_Port", keys);
    EXPECT_EQ(reference.ToString(),
              "QRXSG_Port.CreationClassname=\"say \\\"hi\\\"\",DeviceID=\"{A\\\\B}\","
              "Number=7,SystemName=\"HOST\"");
}

TEST(CimReferenceTest, ReferenceKeyNestsTheEscapedPath) {
    TCIMPropertyMap portKeys;
    portKeys["DeviceID"] = TCIMValue("eth0");
    const TCIMReference port(boost::shared_ptr<ICIMNamespace>(), "QRXSG_Port", portKeys);
    TCIMPropertyMap keys;
    keys["Antecedent"] = TCIMValue(port);
    const TCIMReference association(boost::shared_ptr<ICIMNamespace>(), "QRXSG_Uses", keys);
    EXPECT_EQ(association.ToString(),
              "QRXSG_Uses.Antecedent=\"QRXSG_Port.DeviceID=\\\"eth0\\\"\"");
}

TEST(CimReferenceTest, KeylessPathUsesOrdinal) {
    TCIMReference reference(boost::shared_ptr<ICIMNamespace>(), "QRXSG_NextHopIPRoute",
                            TCIMPropertyMap());
    EXPECT_EQ(reference.ToString(), "QRXSG_NextHopIPRoute");
    reference.SetOrdinal(3);
    EXPECT_EQ(reference.ToString(), "QRXSG_NextHopIPRoute=@3");
}

TEST(CimReferenceTest, EqualityComparesNamespaceClassKeysAndOrdinal) {
    const auto ns = boost::make_shared<TPluginManagerNamespace>();
    TCIMPropertyMap keys;
    keys["Name"] = TCIMValue("a");
    const TCIMReference base(ns, "C", keys);

    EXPECT_EQ(TCIMReference(), TCIMReference());
    EXPECT_EQ(base, TCIMReference(ns, "C", keys));
    TCIMReference assigned;
    assigned = base;
    EXPECT_EQ(assigned, base);

    TCIMPropertyMap otherKeys;
    otherKeys["Name"] = TCIMValue("b");
    EXPECT_NE(base, TCIMReference(ns, "C", otherKeys));
    EXPECT_NE(base, TCIMReference(ns, "D", keys));
    EXPECT_NE(base, TCIMReference(boost::shared_ptr<ICIMNamespace>(), "C", keys));
    EXPECT_NE(base, TCIMReference());
    TCIMReference numbered(ns, "C", keys);
    numbered.SetOrdinal(1);
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

}  // namespace
