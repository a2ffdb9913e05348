#include "CMailDlg.h"

#include "CAccountDlg.h"
#include "CPostletAboutDlg.h"
#include "PostletMessages.h"

#include "postlet/core/postlet_texts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace postlet {

namespace {

constexpr int kFieldLimit = 255;

QLineEdit* mailField(const char* id)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(id));
    edit->setMaxLength(kFieldLimit);
    return edit;
}

QLabel* mailLabel(const char* id, const UiText& text, QWidget* buddy)
{
    auto* label = new QLabel(textOf(text));
    label->setObjectName(QLatin1String(id));
    label->setBuddy(buddy);
    return label;
}

}  // namespace

CMailDlg::CMailDlg(Setup setup, QWidget* parent) : QDialog(parent), m_setup(std::move(setup))
{
    setObjectName(QStringLiteral("CMailDlg"));
    setWindowTitle(textOf(texts::SendEmail));
    setWindowIcon(QIcon(QStringLiteral(":/icons/postlet.svg")));

    m_to = mailField("1004");
    m_cc = mailField("1005");
    m_subject = mailField("1006");
    m_attachment = mailField("1007");
    m_attachment->setMaxLength(32767);
    m_attachment->setText(m_setup.attachmentPath);
    m_attachment->setReadOnly(true);  // the picture is chosen outside, by whoever started us
    m_body = new QPlainTextEdit;
    m_body->setObjectName(QStringLiteral("1008"));

    auto* grid = new QGridLayout;
    grid->addWidget(mailLabel("1000", texts::Recipients, m_to), 0, 0);
    grid->addWidget(m_to, 0, 1);
    grid->addWidget(mailLabel("1001", texts::MailCC, m_cc), 1, 0);
    grid->addWidget(m_cc, 1, 1);
    grid->addWidget(mailLabel("1002", texts::Subject, m_subject), 2, 0);
    grid->addWidget(m_subject, 2, 1);
    grid->addWidget(mailLabel("1003", texts::AttachmentLabel, m_attachment), 3, 0);
    grid->addWidget(m_attachment, 3, 1);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_encryption = new QLabel;
    m_encryption->setObjectName(QStringLiteral("encryption"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_encryption);
    statusRow->addWidget(m_progress, 1);

    // About on the left, where the window menu would be; the dialog's own
    // buttons on the right.
    auto* about = new QPushButton(textOf(texts::AboutPostletButton));
    about->setObjectName(QStringLiteral("16"));
    about->setAutoDefault(false);
    m_setting = new QPushButton(textOf(texts::Setting));
    m_setting->setObjectName(QStringLiteral("3"));
    m_setting->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CMailDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMailDlg::reject);
    connect(m_setting, &QPushButton::clicked, this, &CMailDlg::editAccount);
    connect(about, &QPushButton::clicked, this, &CMailDlg::showAbout);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(about);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_setting);
    buttonRow->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_body, 1);
    layout->addLayout(statusRow);
    layout->addLayout(buttonRow);
    resize(560, 420);
    setSending(false);
}

CMailDlg::~CMailDlg()
{
    delete m_job.data();  // cancels and waits for its thread
}

MailRequest CMailDlg::request() const
{
    return {m_to->text(), m_cc->text(), m_subject->text(), m_body->toPlainText(), m_setup.attachmentPath};
}

bool CMailDlg::editAccount()
{
    CAccountDlg dlg(m_setup.account, this);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    m_setup.account = dlg.account();
    // When the file cannot be written the values still serve this run.
    writeMailSettings(m_setup.accountPath, m_setup.account);
    return true;
}

void CMailDlg::showAbout()
{
    CPostletAboutDlg dlg(this);
    dlg.exec();
}

void CMailDlg::accept()
{
    if (!isSending())
        send();
}

void CMailDlg::reject()
{
    if (m_job) {
        m_job->cancel();
        return;
    }
    QDialog::reject();
}

void CMailDlg::send()
{
    if (!isAccountComplete(m_setup.account) && !editAccount())
        return;  // the user cancelled the account dialog: nothing to say
    const MailRequest r = request();
    const RequestCheck check = checkRequest(m_setup.account, r);
    if (check == RequestCheck::AccountIncomplete)
        return;
    if (check != RequestCheck::Ok) {
        showPostletWarning(checkText(check));
        return;
    }
    // Told before anything goes out, so the user may keep the mail instead.
    if (isAttachmentTooLarge(r.attachmentPath) && !confirmPostlet(textOf(texts::MailPictureTooLarge)))
        return;
    m_job = new MailSendJob(m_setup.account, r, m_setup.sendOptions, this);
    connect(m_job, &MailSendJob::stageChanged, this, &CMailDlg::showStage);
    connect(m_job, &MailSendJob::encryptionKnown, this, &CMailDlg::showEncryption);
    connect(m_job, &MailSendJob::uploadProgress, this, &CMailDlg::showUpload);
    connect(m_job, &MailSendJob::delivered, this, &CMailDlg::finishSend);
    setSending(true);
    m_job->start();
}

void CMailDlg::setSending(bool sending)
{
    for (QLineEdit* e : {m_to, m_cc, m_subject})
        e->setReadOnly(sending);
    m_body->setReadOnly(sending);
    m_ok->setEnabled(!sending);
    m_setting->setEnabled(!sending);
    m_progress->setVisible(sending);
    m_progress->setRange(0, 0);  // busy until the upload starts
    if (!sending) {
        m_status->clear();
        m_encryption->clear();
    }
}

void CMailDlg::showStage(int stage)
{
    m_status->setText(stageText(static_cast<SendStage>(stage)));
}

void CMailDlg::showEncryption(bool encrypted)
{
    m_encryption->setText(textOf(encrypted ? texts::MailEncrypted : texts::MailNotEncrypted));
}

void CMailDlg::showUpload(qint64 sent, qint64 total)
{
    m_progress->setRange(0, 1000);
    m_progress->setValue(total > 0 ? static_cast<int>(sent * 1000 / total) : 0);
}

void CMailDlg::finishSend(int outcome, const QString& serverReply)
{
    if (MailSendJob* job = m_job.data()) {
        m_job.clear();
        job->deleteLater();  // its destructor waits for the thread's last steps
    }
    const auto o = static_cast<SendOutcome>(outcome);
    setSending(false);
    if (o == SendOutcome::Cancelled)
        return;
    if (o != SendOutcome::Sent) {
        showPostletWarning(outcomeText(o, serverReply));
        return;
    }
    showPostletMessage(outcomeText(o));
    QDialog::accept();
}

}  // namespace postlet
