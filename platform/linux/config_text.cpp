#include "platform/linux/config_text.h"

#include <algorithm>
#include <sstream>

namespace linkscope::live {
namespace {

constexpr char kSpaces[] = " \t\r";

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(kSpaces);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

template <class Visit>
void ForEachLine(const std::string& text, Visit visit) {
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) visit(Trim(line));
}

// The value of `key` in a KEY=VALUE file; the last such line counts.
std::string KeyValue(const std::string& text, const std::string& key) {
    std::string value;
    ForEachLine(text, [&](const std::string& line) {
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=') {
            value = Trim(line.substr(key.size() + 1));
        }
    });
    return value;
}

std::string BareServerAddress(std::string server) {
    server = server.substr(0, server.find('#'));
    server = server.substr(0, server.find('%'));
    if (!server.empty() && server.front() == '[') {  // "[v6 address]:port"
        const auto close = server.find(']');
        return close == std::string::npos ? std::string() : server.substr(1, close - 1);
    }
    // "a.b.c.d:53": a colon after a dotted address can only start a port.
    if (std::count(server.begin(), server.end(), ':') == 1 && server.find('.') < server.find(':')) {
        server = server.substr(0, server.find(':'));
    }
    return server;
}

std::string Unquoted(std::string text) {
    if (!text.empty() && text.back() == ';') text.pop_back();
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

ResolverConfig ParseResolvConf(const std::string& text) {
    ResolverConfig config;
    ForEachLine(text, [&](const std::string& line) {
        if (line.empty() || line[0] == '#' || line[0] == ';') return;
        const std::vector<std::string> words = Words(line);
        if (words.size() < 2) return;
        if (words[0] == "nameserver") config.nameservers.push_back(words[1]);
        if (words[0] == "domain" || words[0] == "search") config.domain = words[1];
    });
    return config;
}

std::vector<std::string> ParseLinkStateServers(const std::string& text) {
    std::vector<std::string> servers;
    for (const std::string& word : Words(KeyValue(text, "SERVERS"))) {
        std::string server = BareServerAddress(word);
        if (!server.empty()) servers.push_back(std::move(server));
    }
    return servers;
}

std::string ParseKeyValueLeaseServer(const std::string& text) { return KeyValue(text, "SERVER_ADDRESS"); }

std::string ParseDhclientLeaseServer(const std::string& text, const std::string& interfaceName) {
    std::string found;
    int depth = 0;
    bool inLease = false;
    std::string leaseInterface;
    std::string leaseServer;
    ForEachLine(text, [&](const std::string& line) {
        const std::vector<std::string> words = Words(line);
        if (depth == 0 && !words.empty() && (words[0] == "lease" || words[0] == "lease{")) {
            inLease = true;
            leaseInterface.clear();
            leaseServer.clear();
        } else if (inLease && depth == 1 && words.size() >= 2 && words[0] == "interface") {
            leaseInterface = Unquoted(words[1]);
        } else if (inLease && depth == 1 && words.size() >= 3 && words[0] == "option" &&
                   words[1] == "dhcp-server-identifier") {
            leaseServer = Unquoted(words[2]);
        }
        depth += static_cast<int>(std::count(line.begin(), line.end(), '{'));
        depth -= static_cast<int>(std::count(line.begin(), line.end(), '}'));
        if (depth <= 0) {
            depth = 0;
            if (inLease && !leaseServer.empty() && (leaseInterface.empty() || leaseInterface == interfaceName)) {
                found = leaseServer;
            }
            inLease = false;
        }
    });
    return found;
}

}  // namespace linkscope::live
