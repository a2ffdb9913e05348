#pragma once

// Runs a delivery the way the mail dialog does (on the job's own thread)
// while this thread's event loop keeps turning.

#include "postlet/core/mail_send_job.h"

#include "wait_for.h"

#include <QString>

namespace testing_support {

struct SendResult {
    postlet::SendOutcome outcome = postlet::SendOutcome::Cancelled;
    bool finished = false;
    bool encrypted = false;
    qint64 lastSent = 0;
    qint64 total = 0;
};

inline SendResult sendWithJob(const postlet::MailAccount& account, const postlet::MailRequest& request,
                              const postlet::MailSendJob::Options& options = {}, int waitMs = 60000)
{
    SendResult r;
    postlet::MailSendJob job(account, request, options);
    // The answers come from the job's thread; heard here, on this one, as a window hears them.
    QObject here;
    QObject::connect(&job, &postlet::MailSendJob::delivered, &here, [&](int o) {
        r.outcome = static_cast<postlet::SendOutcome>(o);
        r.finished = true;
    });
    QObject::connect(&job, &postlet::MailSendJob::encryptionKnown, &here, [&](bool e) { r.encrypted = e; });
    QObject::connect(&job, &postlet::MailSendJob::uploadProgress, &here, [&](qint64 sent, qint64 total) {
        r.lastSent = sent;
        r.total = total;
    });
    job.start();
    waitFor([&] { return r.finished; }, waitMs);
    return r;
}

// Short limits, so a server that stays silent fails a test quickly.
inline postlet::SmtpLimits quickLimits()
{
    return {3000, 1500, 3000};
}

}  // namespace testing_support
