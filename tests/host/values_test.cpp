// CIM values: kinds, text, conversions, equality and string arrays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvl/values.h"

namespace {

using namespace NQRXKVL20;

TCIMValue StringArray(const std::vector<TCIMValue>& elements) {
    return TCIMValue(TCIMType(kCIMTypeStringArray), 0, elements);
}

TEST(CimValueTest, EachConstructorGivesItsKind) {
    TCIMReference reference;
    const struct {
        TCIMValue value;
        ECIMType type;
    } cases[] = {
        {TCIMValue(), kCIMTypeNull},
        {TCIMValue(true), kCIMTypeBoolean},
        {TCIMValue(static_cast<unsigned short>(7)), kCIMTypeUInt16},
        {TCIMValue(7u), kCIMTypeUInt32},
        {TCIMValue(7ull), kCIMTypeUInt64},
        {TCIMValue("text"), kCIMTypeString},
        {TCIMValue(std::string("text")), kCIMTypeString},
        {TCIMValue(reference), kCIMTypeReference},
        {StringArray({TCIMValue("a")}), kCIMTypeStringArray},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.GetType(), c.type);
        EXPECT_EQ(c.value.IsNull(), c.type == kCIMTypeNull);
        EXPECT_EQ(c.value.IsArray(), c.type == kCIMTypeStringArray);
    }
}

TEST(CimValueTest, ToStringByKindAndRadix) {
    const struct {
        TCIMValue value;
        int radix;
        const char* text;
    } cases[] = {
        {TCIMValue(), 10, ""},
        {TCIMValue(false), 10, "false"},
        {TCIMValue(true), 10, "true"},
        {TCIMValue(static_cast<unsigned short>(65535)), 10, "65535"},
        {TCIMValue(0u), 10, "0"},
        {TCIMValue(255u), 16, "ff"},
        {TCIMValue(5u), 2, "101"},
        {TCIMValue(18446744073709551615ull), 10, "18446744073709551615"},
        {TCIMValue("as is"), 16, "as is"},
        {StringArray({}), 10, "{}"},
        {StringArray({TCIMValue("a"), TCIMValue("b c")}), 10, "{a,b c}"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value.ToString(c.radix), c.text);
}

TEST(CimValueTest, RadixOutsideTwoToThirtySixIsRefused) {
    EXPECT_THROW(TCIMValue(1u).ToString(1), TKVLException);
    EXPECT_THROW(TCIMValue(1u).ToString(37), TKVLException);
}

TEST(CimValueTest, ConvertsToStringAndUnsigned) {
    EXPECT_EQ(static_cast<std::string>(TCIMValue(42u)), "42");
    EXPECT_EQ(static_cast<std::string>(TCIMValue("x")), "x");
    EXPECT_EQ(static_cast<unsigned int>(TCIMValue(true)), 1u);
    EXPECT_EQ(static_cast<unsigned int>(TCIMValue(static_cast<unsigned short>(9))), 9u);
    EXPECT_EQ(static_cast<unsigned int>(TCIMValue(4294967295ull)), 4294967295u);
    EXPECT_EQ(static_cast<unsigned int>(TCIMValue("401")), 401u);
}

TEST(CimValueTest, UnsignedConversionRefusesWhatIsNoNumber) {
    TCIMReference reference;
    const TCIMValue refused[] = {
        TCIMValue(),          TCIMValue(""),         TCIMValue("12abc"),
        TCIMValue("-1"),      TCIMValue(" 1"),       TCIMValue("99999999999999999999"),
        TCIMValue(4294967296ull), TCIMValue(reference), StringArray({TCIMValue("1")}),
    };
    for (const TCIMValue& value : refused) {
        try {
            static_cast<void>(static_cast<unsigned int>(value));
            ADD_FAILURE() << "accepted " << value.ToString();
        } catch (const TKVLException& error) {
            EXPECT_EQ(error.GetStatusCode(), kKVLStatusTypeMismatch);
        }
    }
}

TEST(CimValueTest, EqualityNeedsSameKindAndValue) {
    EXPECT_EQ(TCIMValue(), TCIMValue());
    EXPECT_EQ(TCIMValue("a"), TCIMValue(std::string("a")));
    EXPECT_NE(TCIMValue("a"), TCIMValue("A"));
    EXPECT_NE(TCIMValue(5u), TCIMValue(5ull));
    EXPECT_NE(TCIMValue(5u), TCIMValue("5"));
    EXPECT_NE(TCIMValue(false), TCIMValue());
    EXPECT_EQ(StringArray({TCIMValue("a"), TCIMValue("b")}),
              StringArray({TCIMValue("a"), TCIMValue("b")}));
    EXPECT_NE(StringArray({TCIMValue("a"), TCIMValue("b")}),
              StringArray({TCIMValue("b"), TCIMValue("a")}));
}

TEST(CimValueTest, StringArrayKeepsOrderAndRefusesOtherElements) {
    const TCIMValue array = StringArray({TCIMValue("10.0.0.1"), TCIMValue("10.0.0.2")});
    ASSERT_EQ(array.Elements().size(), 2u);
    EXPECT_EQ(array.Elements()[1], TCIMValue("10.0.0.2"));

    try {
        StringArray({TCIMValue("a"), TCIMValue(1u)});
        ADD_FAILURE() << "a number was taken into a string array";
    } catch (const TKVLException& error) {
        EXPECT_EQ(error.GetStatusCode(), kKVLStatusTypeMismatch);
    }
    EXPECT_THROW(TCIMValue(TCIMType(kCIMTypeUInt32), 0, {}), TKVLException);
    EXPECT_THROW(TCIMValue("a").Elements(), TKVLException);
}

}  // namespace
