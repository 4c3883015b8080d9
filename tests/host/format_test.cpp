// The runner's JSON and MOF output of hand-built instances.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>

#include <boost/make_shared.hpp>
#include <boost/pointer_cast.hpp>

#include "format.h"
#include "kvl/hub.h"
#include "text_escape.h"

namespace {

using namespace NQRXKVL20;
using kvlhost::InstanceList;

class FormatTest : public ::testing::Test {
protected:
    boost::shared_ptr<THubInstance> Create(const std::string& className) {
        return boost::dynamic_pointer_cast<THubInstance>(
            ns->GetClass(className, {})->CreateInstance({}));
    }

    // A service with a string array, a link between it and a port that is
    // not written (its name holds a line feed, a control character before a
    // letter and a byte that is not UTF-8), and a keyless instance with no
    // properties.
    InstanceList Sample() {
        auto service = Create("QRXSG_IPService");
        service->SetProperty("Name", TCIMValue("IPService"), {});
        const TCIMValue dns(TCIMType(kCIMTypeStringArray), 2, {TCIMValue("10.0.0.1"), TCIMValue("x\"y")});
        service->SetProperty("DNS", dns, {});
        auto port = Create("QRXSG_PhysicalNetworkPort");
        port->SetProperty("DeviceID", TCIMValue("eth\n0\x1F" "b\xFF"), {});
        auto link = Create("QRXSG_PortImplementsEndpoint");
        link->SetProperty("Dependent", TCIMValue(service->GetReference({})), {});
        link->SetProperty("Antecedent", TCIMValue(port->GetReference({})), {});
        return {service, link, Create("QRXSG_NextHopIPRoute")};
    }

    // How `text` is written as a property's value, in JSON and in MOF,
    // without its quotes.
    std::pair<std::string, std::string> Written(const std::string& text) {
        auto port = Create("QRXSG_PhysicalNetworkPort");
        port->SetProperty("Description", TCIMValue(text), {});
        return {Value(kvlhost::FormatJson({port}), "\"Description\": \"", "\""),
                Value(kvlhost::FormatMof({port}), "Description = \"", "\";")};
    }

    // What stands in `output` between `lead` and `end` at the end of its
    // line; an escaped value holds no line feed.
    static std::string Value(const std::string& output, const std::string& lead, const std::string& end) {
        const std::size_t start = output.find(lead);
        const std::size_t stop = output.find(end + '\n', start);
        if (start == std::string::npos || stop == std::string::npos) return "<not found in " + output + ">";
        return output.substr(start + lead.size(), stop - start - lead.size());
    }

    boost::shared_ptr<TPluginManagerNamespace> ns = boost::make_shared<TPluginManagerNamespace>();
};

const std::string kBad = "\xEF\xBF\xBD";  // U+FFFD

// Control characters, quotes and backslashes are escaped, well-formed UTF-8
// passes, and each longest broken piece of a sequence becomes one U+FFFD,
// in both formats. Plain runs are scanned a block of 8 or 16 bytes at a
// time, so each text is also written amid letters at every place, in a
// block or in the rest after the last one.
TEST_F(FormatTest, BothFormatsEscapeAndReplaceTheSameBytesWhereverTheyFall) {
    const struct {
        std::string text, json;
        const char* mof;  // null: as in JSON
        bool endsRun;
    } kCases[] = {
        {"\b\f\t\r\n\"\\", "\\b\\f\\t\\r\\n\\\"\\\\", nullptr, true},
        {"\"", "\\\"", nullptr, true},
        {"\\", "\\\\", nullptr, true},
        {std::string("\0b", 2), "\\u0000b", "\\x0000b", true},  // four digits: the letter stays a letter
        {"\x01", "\\u0001", "\\x0001", true},
        {"\x1F", "\\u001f", "\\x001F", true},
        {"\x1B" "F\x7F", "\\u001bF\x7F", "\\x001BF\x7F", true},
        {" ", " ", nullptr, false},
        {"\x7F", "\x7F", nullptr, false},
        {"\x80", kBad, nullptr, true},  // a lone continuation byte
        {"\xFF", kBad, nullptr, true},
        {"\xC3", kBad, nullptr, true},  // cut short by what follows
        {"\xC3\xA9", "\xC3\xA9", nullptr, true},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", nullptr, true},
        {"\xC1\xBF\xC2\x80", kBad + kBad + "\xC2\x80", nullptr, true},
        {"\xE0\x9F\xBF\xE0\xA0\x80", kBad + kBad + kBad + "\xE0\xA0\x80", nullptr, true},  // overlong, then U+0800
        {"\xED\x9F\xBF\xED\xA0\x80", "\xED\x9F\xBF" + kBad + kBad + kBad, nullptr, true},  // U+D7FF, a surrogate
        {"\xF0\x8F\xBF\xBF\xF0\x90\x80\x80", kBad + kBad + kBad + kBad + "\xF0\x90\x80\x80", nullptr, true},
        // U+10FFFF, then beyond it
        {"\xF4\x8F\xBF\xBF\xF4\x90\x80\x80", "\xF4\x8F\xBF\xBF" + kBad + kBad + kBad + kBad, nullptr, true},
        {"\xF5\x80", kBad + kBad, nullptr, true},
        {"\xF0\x9F\x98", kBad, nullptr, true},  // cut short
        {"\xE2\x82" "1\xC3", kBad + "1" + kBad, nullptr, true},
    };
    const std::pair<const char*, std::size_t (*)(const std::string&, std::size_t)> kScanners[] = {
        {"words", kvlhost::PlainRunEndInWords},
#if defined(__SSE2__)
        {"blocks", kvlhost::PlainRunEndInBlocks},
#endif
    };
    const std::string kFiller = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (const auto& c : kCases) {
        const std::string mof = c.mof ? c.mof : c.json;
        EXPECT_EQ(Written(c.text), std::make_pair(c.json, mof)) << c.json;
        for (const std::size_t length : {7, 8, 9, 15, 16, 17, 33}) {
            for (std::size_t at = 0; at + c.text.size() <= length; ++at) {
                SCOPED_TRACE(c.json + " at " + std::to_string(at) + " of " + std::to_string(length));
                const std::size_t next = at + c.text.size();
                const std::string before = kFiller.substr(0, at);
                const std::string after = kFiller.substr(next, length - next);
                const std::string text = before + c.text + after;
                for (const auto& [name, runEnd] : kScanners) {
                    EXPECT_EQ(runEnd(text, 0), c.endsRun ? at : length) << name;
                    EXPECT_EQ(runEnd(text, next), length) << name;
                }
                EXPECT_EQ(Written(text), std::make_pair(before + c.json + after, before + mof + after));
            }
        }
    }
}

// A reference to an instance written before names its alias; one to an
// instance not written gives its object path. The path line escapes a
// key's control characters as a string does, so that it stays one line.
TEST_F(FormatTest, MofWritesOneBlockPerInstanceAfterItsPath) {
    const char* expected = R"(// QRXSG_IPService.Name="IPService"
instance of QRXSG_IPService as $QRXSG_IPService_1
{
    Name = "IPService";
    DNS = {"10.0.0.1", "x\"y"};
};

// QRXSG_PortImplementsEndpoint.Antecedent="QRXSG_PhysicalNetworkPort.DeviceID=\"eth\n0\x001Fb�\"",Dependent="QRXSG_IPService.Name=\"IPService\""
instance of QRXSG_PortImplementsEndpoint
{
    Dependent = $QRXSG_IPService_1;
    Antecedent = "QRXSG_PhysicalNetworkPort.DeviceID=\"eth\n0\x001Fb�\"";
};

// QRXSG_NextHopIPRoute=@4
instance of QRXSG_NextHopIPRoute
{
};
)";
    EXPECT_EQ(kvlhost::FormatMof(Sample()), expected);
}

}  // namespace
