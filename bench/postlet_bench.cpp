// Postlet's speed goals: a 10 MiB picture base64-encoded in under 20 ms, and a
// mail carrying it delivered to a local aiosmtpd in under 2 s (connection,
// login, upload and the server's answer; the picture read from disk).
#include "postlet/core/base64_lines.h"
#include "postlet/core/mail_message.h"
#include "postlet/core/mail_request.h"
#include "postlet/core/smtp_session.h"

#include "local_smtp_server.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray picture()
{
    QByteArray bytes(postlet::kMaxAttachmentBytes, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return bytes;
}

void Base64TenMebibytes(benchmark::State& state)
{
    const QByteArray bytes = picture();
    for (auto _ : state)
        benchmark::DoNotOptimize(postlet::encodeBase64Lines(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(Base64TenMebibytes)->Unit(benchmark::kMillisecond);

void DeliverTenMebibytes(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.jpg"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(picture());
    f.close();
    testing_support::LocalSmtpServer server(QStringLiteral(POSTLET_TEST_DIR "/local_smtp_server.py"),
                                            {QStringLiteral("--raw-only")});
    if (server.port() == 0) {
        state.SkipWithError("aiosmtpd is not installed");
        return;
    }
    const postlet::MailAccount account{server.address(), QStringLiteral("bench@example.org"), QStringLiteral("bench"),
                                       QStringLiteral("secret")};
    const postlet::MailRequest request{QStringLiteral("to@example.org"), QString(), QStringLiteral("picture"),
                                       QStringLiteral("see attachment"), path};
    const std::atomic_bool cancel{false};
    for (auto _ : state) {
        const postlet::MailMessage message = postlet::buildMailMessage(account, request);
        const QByteArray data = postlet::composeMessage(message, QDateTime::currentDateTime());
        postlet::SmtpSession session(cancel);
        const auto outcome = session.send(*postlet::parseServerAddress(account.server), account, postlet::envelopeOf(message),
                                          data, "localhost");
        if (outcome != postlet::SendOutcome::Sent) {
            state.SkipWithError("the mail was not accepted");
            return;
        }
    }
}
BENCHMARK(DeliverTenMebibytes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
