// CIM values: kinds, text, conversions, equality and string arrays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvl/values.h"
#include "support/status_of.h"

namespace {

using namespace NQRXKVL20;
using linkscope::testing::StatusOf;

TCIMValue StringArray(const std::vector<TCIMValue>& elements) {
    return TCIMValue(TCIMType(kCIMTypeStringArray), 0, elements);
}

TEST(CimValueTest, KindAndTextByRadix) {
    const struct {
        TCIMValue value;
        ECIMType type;
        int radix;
        const char* text;
    } cases[] = {
        {TCIMValue(), kCIMTypeNull, 10, ""},
        {TCIMValue(false), kCIMTypeBoolean, 10, "false"},
        {TCIMValue(true), kCIMTypeBoolean, 10, "true"},
        {TCIMValue(static_cast<unsigned short>(65535)), kCIMTypeUInt16, 10, "65535"},
        {TCIMValue(0u), kCIMTypeUInt32, 10, "0"},
        {TCIMValue(255u), kCIMTypeUInt32, 16, "ff"},
        {TCIMValue(5u), kCIMTypeUInt32, 2, "101"},
        {TCIMValue(18446744073709551615ull), kCIMTypeUInt64, 10, "18446744073709551615"},
        {TCIMValue(std::string("as is")), kCIMTypeString, 16, "as is"},
        {TCIMValue(TCIMReference()), kCIMTypeReference, 10, ""},
        {StringArray({}), kCIMTypeStringArray, 10, "{}"},
        {StringArray({TCIMValue("a"), TCIMValue("b c")}), kCIMTypeStringArray, 10, "{a,b c}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.value.GetType(), c.type);
        EXPECT_EQ(c.value.IsNull(), c.type == kCIMTypeNull);
        EXPECT_EQ(c.value.IsArray(), c.type == kCIMTypeStringArray);
        EXPECT_EQ(c.value.ToString(c.radix), c.text);
    }
    EXPECT_THROW(TCIMValue(1u).ToString(1), TKVLException);
    EXPECT_THROW(TCIMValue(1u).ToString(37), TKVLException);
}

TEST(CimValueTest, ConversionsToStringAndUnsigned) {
    EXPECT_EQ(static_cast<std::string>(TCIMValue(42u)), "42");
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

TEST(CimValueTest, EqualityNeedsSameKindAndValue) {
    EXPECT_EQ(TCIMValue(), TCIMValue());
    EXPECT_EQ(TCIMValue("a"), TCIMValue(std::string("a")));
    EXPECT_NE(TCIMValue("a"), TCIMValue("A"));
    EXPECT_NE(TCIMValue(5u), TCIMValue(5ull));
    EXPECT_NE(TCIMValue(5u), TCIMValue("5"));
    EXPECT_NE(TCIMValue(false), TCIMValue());
    EXPECT_EQ(StringArray({TCIMValue("a"), TCIMValue("b")}), StringArray({TCIMValue("a"), TCIMValue("b")}));
    EXPECT_NE(StringArray({TCIMValue("a"), TCIMValue("b")}), StringArray({TCIMValue("b"), TCIMValue("a")}));
}

TEST(CimValueTest, StringArrayKeepsOrderAndRefusesOtherElements) {
    const TCIMValue array = StringArray({TCIMValue("10.0.0.1"), TCIMValue("10.0.0.2")});
    ASSERT_EQ(array.Elements().size(), 2u);
    EXPECT_EQ(array.Elements()[1], TCIMValue("10.0.0.2"));
    EXPECT_EQ(StatusOf([] { StringArray({TCIMValue("a"), TCIMValue(1u)}); }), kKVLStatusTypeMismatch);
    EXPECT_THROW(TCIMValue(TCIMType(kCIMTypeUInt32), 0, {}), TKVLException);
    EXPECT_THROW(TCIMValue("a").Elements(), TKVLException);
}

}  // namespace
