#include "bidi/communications/linux/snmp_query.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <memory>
#include <mutex>
#include <optional>

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>
// clang-format on

#include "bidi/capi/error.h"

namespace KpBidi::communications::linux {
namespace {

// net-snmp is set up once per process, however many threads ask first. Only
// what a v2c manager needs: no configuration files, no MIB modules, and no
// persistent state (nothing read from or written to /var/lib/snmp).
// snmp_sess_init's first call performs the library's own one-time set-up.
void InitialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
        netsnmp_session unused;
        snmp_sess_init(&unused);
    });
}

SnmpFailure Failure(SnmpFailureKind kind, int detail = 0) {
    return SnmpFailure{kind, detail};
}

// A failure reported by net-snmp for a session, by its SNMPERR_ code.
SnmpFailure FromSnmpError(int snmpError, SnmpFailureKind otherwise) {
    switch (snmpError) {
        case SNMPERR_MALLOC:
            return Failure(SnmpFailureKind::OutOfMemory, snmpError);
        case SNMPERR_BAD_SENDTO:
            return Failure(SnmpFailureKind::Undeliverable, snmpError);
        case SNMPERR_TIMEOUT:
            return Failure(SnmpFailureKind::Timeout, snmpError);
        default:
            return Failure(otherwise, snmpError);
    }
}

// Dotted decimal (an optional leading dot allowed) to sub-identifiers.
std::optional<std::vector<oid>> ParseOid(std::string_view text) {
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
    }
    std::vector<oid> out;
    while (!text.empty()) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        std::uint32_t value = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size()) {
            return std::nullopt;
        }
        out.push_back(value);
        if (dot == std::string_view::npos) {
            text = {};
        } else {
            text.remove_prefix(dot + 1);
            if (text.empty()) {
                return std::nullopt;  // trailing dot
            }
        }
    }
    if (out.size() < 2 || out.size() > MAX_OID_LEN) {
        return std::nullopt;
    }
    return out;
}

// The address the answer came from. UDP over IPv4 hands it over as an
// address pair; any other transport formats it itself.
std::optional<std::string> SourceText(netsnmp_session* session, const netsnmp_pdu& pdu) {
    if (pdu.transport_data != nullptr &&
        pdu.transport_data_length >= static_cast<int>(sizeof(netsnmp_indexed_addr_pair))) {
        const auto* pair = static_cast<const netsnmp_indexed_addr_pair*>(pdu.transport_data);
        if (pair->remote_addr.sa.sa_family == AF_INET) {
            char text[INET_ADDRSTRLEN] = {};
            if (::inet_ntop(AF_INET, &pair->remote_addr.sin.sin_addr, text, sizeof text)) {
                return std::string(text);
            }
        }
    }
    void* sessp = snmp_sess_pointer(session);
    netsnmp_transport* transport = sessp != nullptr ? snmp_sess_transport(sessp) : nullptr;
    if (transport != nullptr && transport->f_fmtaddr != nullptr) {
        if (char* s =
                transport->f_fmtaddr(transport, pdu.transport_data, pdu.transport_data_length)) {
            std::string text(s);
            SNMP_FREE(s);
            return text;
        }
    }
    return std::nullopt;
}

// Only the printer answers for the printer: a datagram from any other
// address or port is dropped before it is parsed. The request id is always
// 0, so without this a forger on the network would only need to guess the
// client's UDP port. The session's callback_magic points at the printer's
// address (the session-wide callback is not used; each request has its own).
int FromThePrinterOnly(netsnmp_session* session, netsnmp_transport* /*transport*/,
                       void* transportData, int transportDataLength) {
    const auto* expected = static_cast<const sockaddr_in*>(session->callback_magic);
    if (expected == nullptr || transportData == nullptr ||
        transportDataLength < static_cast<int>(sizeof(netsnmp_indexed_addr_pair))) {
        return 0;
    }
    const auto* pair = static_cast<const netsnmp_indexed_addr_pair*>(transportData);
    // A request sent to a broadcast address is answered by each agent from
    // its own address: there, any address will do, the port still counts.
    const bool anyAddress = expected->sin_addr.s_addr == htonl(INADDR_ANY);
    return pair->remote_addr.sa.sa_family == AF_INET &&
                   (anyAddress ||
                    pair->remote_addr.sin.sin_addr.s_addr == expected->sin_addr.s_addr) &&
                   pair->remote_addr.sin.sin_port == expected->sin_port
               ? 1
               : 0;
}

// Shared between the waiting caller and the notification callback. The
// callback fills everything else before it publishes the state; the caller
// reads the rest only after seeing a non-zero state.
struct QueryContext {
    enum State : int { Waiting = 0, Answered = 1, TimedOut = 2, Failed = 3 };
    std::atomic<int> state{Waiting};
    SnmpFailure failure;
    SnmpAnswer answer;
    // Set for a broadcast: every answer is collected here (up to
    // maxAnswers, one per address) and the wait ends with the time-out.
    std::vector<SnmpAnswer>* collected = nullptr;
    std::size_t maxAnswers = 0;

    void Fail(SnmpFailure f) {
        failure = f;
        state.store(Failed, std::memory_order_release);
    }
};

// One more answer to a broadcast; a malformed one, a second one from the
// same address and any beyond the bound are dropped.
void Collect(netsnmp_session* session, netsnmp_pdu* pdu, QueryContext& context) {
    std::vector<SnmpAnswer>& answers = *context.collected;
    if (pdu == nullptr || pdu->variables == nullptr || answers.size() >= context.maxAnswers) {
        return;
    }
    auto source = SourceText(session, *pdu);
    if (!source) {
        return;
    }
    for (const SnmpAnswer& earlier : answers) {
        if (earlier.source == *source) {
            return;
        }
    }
    const netsnmp_variable_list& binding = *pdu->variables;
    SnmpAnswer answer;
    answer.source = std::move(*source);
    answer.name.assign(binding.name, binding.name + binding.name_length);
    answer.value = SnmpValueFrom(binding);
    answers.push_back(std::move(answer));
}

int OnNotification(int operation, netsnmp_session* session, int /*reqid*/, netsnmp_pdu* pdu,
                   void* magic) {
    auto& context = *static_cast<QueryContext*>(magic);
    switch (operation) {
        case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE: {
            if (context.collected != nullptr) {
                Collect(session, pdu, context);
                return 0;  // 0 keeps the request open for further answers
            }
            if (pdu == nullptr || pdu->variables == nullptr) {
                context.Fail(Failure(SnmpFailureKind::Other, SNMPERR_NO_VARS));
                return 1;
            }
            auto source = SourceText(session, *pdu);
            if (!source) {
                context.Fail(Failure(SnmpFailureKind::Other, SNMPERR_BAD_ADDRESS));
                return 1;
            }
            const netsnmp_variable_list& binding = *pdu->variables;
            context.answer.source = std::move(*source);
            context.answer.name.assign(binding.name, binding.name + binding.name_length);
            context.answer.value = SnmpValueFrom(binding);
            context.state.store(QueryContext::Answered, std::memory_order_release);
            return 1;
        }
        case NETSNMP_CALLBACK_OP_TIMED_OUT:
            context.state.store(QueryContext::TimedOut, std::memory_order_release);
            return 1;
        case NETSNMP_CALLBACK_OP_RESEND:
            return 1;  // one more attempt went out; keep waiting
        case NETSNMP_CALLBACK_OP_SEND_FAILED:
            context.Fail(Failure(SnmpFailureKind::Undeliverable, session->s_snmp_errno));
            return 1;
        default:
            // Any other notification ends the wait as well.
            context.Fail(FromSnmpError(session->s_snmp_errno, SnmpFailureKind::Other));
            return 1;
    }
}

struct SessionCloser {
    void operator()(void* sessp) const noexcept { snmp_sess_close(sessp); }
};
using Session = std::unique_ptr<void, SessionCloser>;

struct PduDeleter {
    void operator()(netsnmp_pdu* pdu) const noexcept { snmp_free_pdu(pdu); }
};
using Pdu = std::unique_ptr<netsnmp_pdu, PduDeleter>;

class LargeFdSet {
public:
    LargeFdSet() { netsnmp_large_fd_set_init(&set_, FD_SETSIZE); }
    ~LargeFdSet() { netsnmp_large_fd_set_cleanup(&set_); }
    LargeFdSet(const LargeFdSet&) = delete;
    LargeFdSet& operator=(const LargeFdSet&) = delete;
    netsnmp_large_fd_set* get() noexcept { return &set_; }

private:
    netsnmp_large_fd_set set_;
};

// Drives the session until the callback has published an outcome: waits
// for the answer or the library's next retry deadline, whichever is first.
void Await(void* sessp, QueryContext& context) {
    while (context.state.load(std::memory_order_acquire) == QueryContext::Waiting) {
        LargeFdSet fds;
        int numfds = 0;
        int block = 1;
        timeval timeout{};
        snmp_sess_select_info2_flags(sessp, &numfds, fds.get(), &timeout, &block,
                                     NETSNMP_SELECT_NOALARMS);
        if (block != 0) {
            // No request outstanding and no outcome: nothing would ever end
            // the wait.
            context.Fail(Failure(SnmpFailureKind::Other));
            return;
        }
        const int ready =
            netsnmp_large_fd_set_select(numfds, fds.get(), nullptr, nullptr, &timeout);
        if (ready > 0) {
            snmp_sess_read2(sessp, fds.get());
        } else if (ready == 0) {
            snmp_sess_timeout(sessp);
        } else if (errno != EINTR) {
            context.Fail(Failure(SnmpFailureKind::Other, errno));
            return;
        }
    }
}

// Sends one GET of `oidText` to `address` and drives the session until the
// context holds an outcome; a failure before that is returned.
std::optional<SnmpFailure> RunGet(std::string_view address, std::string_view community,
                                  std::string_view oidText, std::chrono::microseconds timeout,
                                  int retries, bool broadcast, QueryContext& context) {
    InitialiseOnce();

    in_addr parsed{};
    const std::string host(address);
    if (::inet_pton(AF_INET, host.c_str(), &parsed) != 1) {
        return Failure(SnmpFailureKind::Other);
    }
    const auto name = ParseOid(oidText);
    if (!name) {
        return Failure(SnmpFailureKind::Other);
    }

    std::string peer = "udp:" + host + ":" + std::to_string(kSnmpPort);
    std::string communityCopy(community);
    netsnmp_session config;
    snmp_sess_init(&config);
    config.version = SNMP_VERSION_2c;
    config.peername = peer.data();
    config.community = reinterpret_cast<u_char*>(communityCopy.data());
    config.community_len = communityCopy.size();
    config.timeout = static_cast<long>(timeout.count());
    config.retries = retries;
    sockaddr_in printer{};
    printer.sin_family = AF_INET;
    printer.sin_addr.s_addr = broadcast ? htonl(INADDR_ANY) : parsed.s_addr;
    printer.sin_port = htons(kSnmpPort);
    config.callback_magic = &printer;
    // snmp_sess_add copies what it keeps of `config` and owns the transport
    // from here on, also when it fails.
    netsnmp_transport* transport = netsnmp_transport_open_client("snmp", peer.c_str());
    if (transport == nullptr) {
        return Failure(SnmpFailureKind::NotInitialised);
    }
    const int allowed = 1;
    if (broadcast &&
        ::setsockopt(transport->sock, SOL_SOCKET, SO_BROADCAST, &allowed, sizeof allowed) != 0) {
        const int error = errno;
        netsnmp_transport_free(transport);
        return Failure(SnmpFailureKind::NotInitialised, error);
    }
    Session session(snmp_sess_add(&config, transport, FromThePrinterOnly, nullptr));
    if (!session) {
        return FromSnmpError(config.s_snmp_errno, SnmpFailureKind::NotInitialised);
    }

    Pdu request(snmp_pdu_create(SNMP_MSG_GET));
    if (!request) {
        return Failure(SnmpFailureKind::OutOfMemory, SNMPERR_MALLOC);
    }
    request->reqid = 0;
    request->errstat = 0;
    request->errindex = 0;
    if (snmp_add_null_var(request.get(), name->data(), name->size()) == nullptr) {
        return Failure(SnmpFailureKind::OutOfMemory, SNMPERR_MALLOC);
    }

    netsnmp_session* state = snmp_sess_session(session.get());
    // The send answers the request id it used, so with id 0 only the
    // session's error tells a sent request from a failed one.
    snmp_sess_async_send(session.get(), request.get(), OnNotification, &context);
    if (state->s_snmp_errno != 0) {
        return FromSnmpError(state->s_snmp_errno, SnmpFailureKind::Other);
    }
    request.release();  // queued: the session frees it

    Await(session.get(), context);
    return std::nullopt;
}

}  // namespace

SnmpResult GetSnmpValue(std::string_view address, std::string_view community,
                        std::string_view oidText) {
    QueryContext context;
    if (auto failure =
            RunGet(address, community, oidText,
                   std::chrono::duration_cast<std::chrono::microseconds>(kSnmpAttemptTimeout),
                   kSnmpRetries, false, context)) {
        return *failure;
    }
    switch (context.state.load(std::memory_order_acquire)) {
        case QueryContext::Answered:
            return std::move(context.answer);
        case QueryContext::TimedOut:
            return Failure(SnmpFailureKind::Timeout);
        default:
            return context.failure;
    }
}

std::variant<SnmpFailure, std::vector<SnmpAnswer>> BroadcastSnmpGet(
    std::string_view broadcast, std::string_view community, std::string_view oidText,
    std::chrono::milliseconds window, std::size_t maxAnswers) {
    std::vector<SnmpAnswer> answers;
    QueryContext context;
    context.collected = &answers;
    context.maxAnswers = maxAnswers;
    if (auto failure = RunGet(broadcast, community, oidText,
                              std::chrono::duration_cast<std::chrono::microseconds>(window), 0,
                              true, context)) {
        return *failure;
    }
    // The window's end is the normal outcome; only a failure is reported.
    if (context.state.load(std::memory_order_acquire) == QueryContext::Failed) {
        return context.failure;
    }
    return answers;
}

std::int32_t CodeFromSnmpFailure(const SnmpFailure& failure) noexcept {
    switch (failure.kind) {
        case SnmpFailureKind::Timeout:
        case SnmpFailureKind::Undeliverable:
            return PrinterNotAvailable;
        case SnmpFailureKind::OutOfMemory:
            return OutOfMemory;
        case SnmpFailureKind::NotInitialised:
            return PlatformError;
        case SnmpFailureKind::Other:
            return Unexpected;
    }
    return Unexpected;
}

}  // namespace KpBidi::communications::linux
