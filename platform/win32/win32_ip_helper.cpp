#include "platform/win32/win32_ip_helper.h"

#include <utility>

#include "platform/win32/buffer_calls.h"
#include "platform/win32/ip_helper_convert.h"
#include "platform/win32/windows_api.h"

namespace linkscope::win32 {
namespace {

// Initial buffer sizes: room for one typical answer of each call.
constexpr std::size_t kNetworkParamsSize = 600;
constexpr std::size_t kAdaptersInfoSize = 704;
constexpr std::size_t kPerAdapterInfoSize = 64;
constexpr std::size_t kInterfaceInfoSize = 264;
constexpr std::size_t kIfTableSize = 864;
constexpr int kMaxAddressesCalls = 5;
constexpr ULONG kFamilyIPv6 = 23;  // AF_INET6

OsBytes BytesOf(const GlobalBlock& block) { return OsBytes(block.Get(), block.Size()); }

// One call into a fresh block of `initialSize` bytes, made twice as
// CallTwice does; the block is converted only when the second call succeeds.
template <class Convert, class Call>
auto Fetch(std::size_t initialSize, platform::ResultCode retryCode, Convert&& convert, Call&& call) {
    GlobalBlock block(initialSize);
    const platform::ResultCode result = CallTwice(block, retryCode, call);
    using Converted = decltype(convert(BytesOf(block)));
    return std::make_pair(result, result == platform::kSuccess ? convert(BytesOf(block)) : Converted{});
}

using GetAdaptersAddressesFunction = ULONG(WINAPI*)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG);

GetAdaptersAddressesFunction ResolveGetAdaptersAddresses(HMODULE library) {
    FARPROC address = GetProcAddress(library, "GetAdaptersAddresses");
    // A function pointer of another type is converted through void(*)(),
    // which the language allows for any function pointer.
    return reinterpret_cast<GetAdaptersAddressesFunction>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

Win32IpHelper::Win32IpHelper() : perAdapter_(kPerAdapterInfoSize) {}

platform::NetworkParamsAnswer Win32IpHelper::GetNetworkParams() {
    auto [result, info] = Fetch(kNetworkParamsSize, platform::kBufferOverflow, ConvertFixedInfo,
                                [](void* buffer, ULONG* size) {
                                    return ::GetNetworkParams(static_cast<PFIXED_INFO>(buffer), size);
                                });
    return {result, std::move(info)};
}

platform::AdaptersAnswer Win32IpHelper::GetAdaptersInfo() {
    auto [result, adapters] = Fetch(kAdaptersInfoSize, platform::kBufferOverflow, ConvertAdaptersInfo,
                                    [](void* buffer, ULONG* size) {
                                        return ::GetAdaptersInfo(static_cast<PIP_ADAPTER_INFO>(buffer), size);
                                    });
    return {result, std::move(adapters)};
}

platform::InterfacePairsAnswer Win32IpHelper::GetInterfaceInfo() {
    auto [result, pairs] = Fetch(kInterfaceInfoSize, platform::kInsufficientBuffer, ConvertInterfaceInfo,
                                 [](void* buffer, ULONG* size) {
                                     return ::GetInterfaceInfo(static_cast<PIP_INTERFACE_INFO>(buffer), size);
                                 });
    return {result, std::move(pairs)};
}

platform::InterfaceTableAnswer Win32IpHelper::GetIfTable() {
    auto [result, rows] = Fetch(kIfTableSize, platform::kInsufficientBuffer, ConvertIfTable,
                                [](void* buffer, ULONG* size) {
                                    return ::GetIfTable(static_cast<PMIB_IFTABLE>(buffer), size, TRUE);
                                });
    return {result, std::move(rows)};
}

platform::PerAdapterAnswer Win32IpHelper::GetPerAdapterInfo(std::uint32_t index) {
    // A failed allocation earlier leaves the shared buffer empty; it starts
    // again from its initial size.
    if (!perAdapter_) perAdapter_.Reallocate(kPerAdapterInfoSize);
    const platform::ResultCode result =
        CallTwice(perAdapter_, platform::kBufferOverflow, [index](void* buffer, ULONG* size) {
            return ::GetPerAdapterInfo(index, static_cast<PIP_PER_ADAPTER_INFO>(buffer), size);
        });
    if (result != platform::kSuccess) {
        platform::PerAdapterAnswer failed;
        failed.result = result;
        return failed;
    }
    platform::PerAdapterAnswer answer = ConvertPerAdapterInfo(BytesOf(perAdapter_));
    answer.result = result;
    return answer;
}

platform::Ipv6Answer Win32IpHelper::GetAdaptersAddressesIPv6() {
    platform::Ipv6Answer answer;
    const LoadedLibrary library(LoadLibraryA("iphlpapi.dll"));
    const GetAdaptersAddressesFunction getAdaptersAddresses =
        library ? ResolveGetAdaptersAddresses(library.get()) : nullptr;
    if (getAdaptersAddresses == nullptr) {
        answer.resolved = false;
        answer.result = platform::kNotSupported;
        return answer;
    }
    MallocBlock block;
    answer.result = CallGrowing(block, kMaxAddressesCalls, [getAdaptersAddresses](void* buffer, ULONG* size) {
        return getAdaptersAddresses(kFamilyIPv6, 0, nullptr, static_cast<PIP_ADAPTER_ADDRESSES>(buffer), size);
    });
    if (answer.result == platform::kSuccess) answer.entries = ConvertAdapterAddresses(OsBytes(block.Get(), block.Size()));
    return answer;
}

platform::OsVersionAnswer Win32IpHelper::GetVersion() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    platform::OsVersionAnswer answer;
    answer.ok = GetVersionExA(&version) != FALSE;
    if (answer.ok) {
        answer.major = version.dwMajorVersion;
        answer.minor = version.dwMinorVersion;
    }
    return answer;
}

}  // namespace linkscope::win32
