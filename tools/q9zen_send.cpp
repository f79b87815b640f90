// Sends one message to the running configuration utility over its local socket, as the companion
// programs do (updater, audio capture, game integrations, work tools). Prints the reply when asked.
#include "platform/LocalChannel.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

void usage(std::ostream& out = std::cerr)
{
    out <<
        "Usage: q9zen-send [--socket PATH] MESSAGE [--wparam N] [--lparam N] [--reply] [--timeout MS]\n"
        "MESSAGE is one of:\n"
        "  --name NAME            a registered message by name\n"
        "  --number N             a numbered message (e.g. 3332, the firmware prompt)\n"
        "  --copydata N           a copy-data block with dwData N; bytes from --hex HEX or --file FILE\n"
        "  --activate             the activation message (wParam 0, lParam 1), as a second start sends it\n"
        "  --light-request        the light-control request\n"
        "  --worktool             the work-tool query (waits for the reply block)\n"
        "  --update-status        the updater's status message\n"
        "  --game START|END|KILL|DEATH   a game message\n"
        "  --help, --version      print this text or the version, then end\n"
        "Numbers may be decimal or 0x-hexadecimal. Exit status: 0 sent (and replied), 1 nothing listens,\n"
        "2 bad arguments.\n";
}

bool number(const char* s, long long& out)
{
    char* end = nullptr;
    out = std::strtoll(s, &end, 0);
    return end && *end == 0;
}

bool hexBytes(const std::string& hex, std::vector<uint8_t>& out)
{
    if (hex.size() % 2)
        return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        char* end = nullptr;
        const std::string byte = hex.substr(i, 2);
        const long v = std::strtol(byte.c_str(), &end, 16);
        if (*end)
            return false;
        out.push_back(uint8_t(v));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    q9::IpcMessage m;
    QString socket = q9::defaultChannelName();
    bool reply = false, have = false;
    long long timeout = 2000;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        long long v = 0;
        const char* arg = nullptr;
        if (a == "--help" || a == "-h") {
            usage(std::cout);
            return 0;
        }
        if (a == "--version") {
            std::cout << "q9zen-send " Q9ZEN_VERSION "\n";
            return 0;
        }
        if (a == "--socket" && (arg = next())) socket = QString::fromLocal8Bit(arg);
        else if (a == "--name" && (arg = next())) m.name = arg, have = true;
        else if (a == "--number" && (arg = next()) && number(arg, v)) m.number = uint32_t(v), have = true;
        else if (a == "--copydata" && (arg = next()) && number(arg, v)) m.isCopyData = true, m.dwData = uint64_t(v), have = true;
        else if (a == "--hex" && (arg = next())) {
            if (!hexBytes(arg, m.bytes)) {
                std::cerr << "q9zen-send: bad --hex\n";
                return 2;
            }
        } else if (a == "--file" && (arg = next())) {
            QFile f(QString::fromLocal8Bit(arg));
            if (!f.open(QIODevice::ReadOnly)) {
                std::cerr << "q9zen-send: cannot read " << arg << "\n";
                return 2;
            }
            const QByteArray b = f.readAll();
            m.bytes.assign(b.begin(), b.end());
        } else if (a == "--wparam" && (arg = next()) && number(arg, v)) m.wParam = uint64_t(v);
        else if (a == "--lparam" && (arg = next()) && number(arg, v)) m.lParam = v;
        else if (a == "--reply") reply = true;
        else if (a == "--timeout" && (arg = next()) && number(arg, v)) timeout = v;
        else if (a == "--activate") m.name = "Q9 Zen 1K Gaming Mouse", m.wParam = 0, m.lParam = 1, have = true;
        else if (a == "--update-status") m.name = "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}", have = true;
        else if (a == "--light-request") m.name = "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", have = true;
        else if (a == "--worktool") m.name = "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}", reply = true, have = true;
        else if (a == "--game" && (arg = next())) {
            const std::string g = arg;
            m.name = g == "START" ? "Game_Start" : g == "END" ? "Game_End" : g == "KILL" ? "Game_Kill" : "Game_Death";
            have = true;
        } else {
            std::cerr << "q9zen-send: unknown, incomplete or malformed argument \"" << a << "\"\n";
            usage();
            return 2;
        }
    }
    if (!have) {
        usage();
        return 2;
    }
    q9::IpcReply r;
    if (!q9::sendIpcMessage(m, reply ? &r : nullptr, int(timeout), socket)) {
        std::cerr << "q9zen-send: the program does not answer on " << socket.toStdString() << "\n";
        return 1;
    }
    if (reply) {
        std::printf("result %lld\n", static_cast<long long>(r.result));
        if (!r.bytes.empty()) {
            for (uint8_t b : r.bytes)
                std::printf("%02x", b);
            std::printf("\n");
        }
    }
    return 0;
}
