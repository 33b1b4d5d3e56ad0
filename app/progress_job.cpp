#include "progress_job.h"

#include "template_builder.h"
#include "resources/templates/progress_ids.h"
#include "resources/templates/progress_template.h"
#include "theme/control_skin.h"
#include "theme/theme_pictures.h"
#include "theme/xp_dialog.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <thread>

bool JobProgress::Report(double fraction) {
    fraction_.store(std::clamp(fraction, 0.0, 1.0));
    return !Cancelled();
}

void JobProgress::SetText(const QString& text) {
    const std::lock_guard<std::mutex> hold(mutex_);
    text_ = text;
}

QString JobProgress::Text() const {
    const std::lock_guard<std::mutex> hold(mutex_);
    return text_;
}

namespace {

progress::Observer& TheObserver() {
    static progress::Observer observer;
    return observer;
}

// The dialog shows what the work reports, a few dozen times a second.
class CProgressDlg : public CXpDialog {
public:
    CProgressDlg(QWidget* parent, const QString& text, JobProgress& progress) : CXpDialog(parent), progress_(progress) {
        namespace id = ids::progress;
        tmpl::Build(tmpl::ProgressTemplate(), this, {}, [](const tmpl::Control&, QWidget* host) -> QWidget* {
            auto* bar = new QProgressBar(host);
            bar->setRange(0, 1000);
            bar->setTextVisible(true);
            return bar;
        });
        SetTitle(QStringLiteral("请稍候"));
        setWindowIcon(ThemeDialogIcon());
        SetThemeRole(this, ThemeRole::page);
        setModal(true);
        text_ = tmpl::Ctl<QLabel>(this, id::Text);
        bar_ = tmpl::Ctl<QProgressBar>(this, id::Bar);
        cancel_ = tmpl::Ctl<QAbstractButton>(this, id::Cancel);
        progress_.SetText(text);
        connect(cancel_, &QAbstractButton::clicked, this, &CProgressDlg::reject);
        refresh_.setInterval(30);
        connect(&refresh_, &QTimer::timeout, this, &CProgressDlg::Refresh);
        refresh_.start();
        if (parent) move(parent->window()->geometry().center() - rect().center());
        Refresh();
    }

    // Esc, the frame's close button and "取消" ask the work to stop; the
    // dialog closes when the work has.
    void reject() override {
        if (progress_.Cancelled()) return;
        progress_.Cancel();
        cancel_->setEnabled(false);
        progress_.SetText(QStringLiteral("正在取消……"));
        Refresh();
    }
    void Finish() {
        refresh_.stop();
        QDialog::accept();
    }
    void Refresh() {
        const QString text = progress_.Text();
        if (text_->text() != text) text_->setText(text);
        bar_->setValue(int(progress_.Fraction() * 1000));
        if (const auto& observe = TheObserver()) observe(this, progress_);
    }

private:
    JobProgress& progress_;
    QLabel* text_;
    QProgressBar* bar_;
    QAbstractButton* cancel_;
    QTimer refresh_;
};

} // namespace

void progress::SetObserver(Observer observer) { TheObserver() = std::move(observer); }

JobEnd RunInBackground(QWidget* parent, const QString& text, const std::function<void(JobProgress&)>& work) {
    JobProgress progress;
    CProgressDlg dlg(parent, text, progress);
    std::thread worker([&] {
        work(progress);
        QMetaObject::invokeMethod(
            &dlg, [&dlg] { dlg.Finish(); }, Qt::QueuedConnection);
    });
    dlg.exec();
    worker.join();
    return progress.Cancelled() ? JobEnd::cancelled : JobEnd::finished;
}

JobEnd RunInSteps(QWidget* parent, const QString& text, const std::function<bool(JobProgress&)>& step) {
    JobProgress progress;
    CProgressDlg dlg(parent, text, progress);
    QTimer next;
    next.setSingleShot(true);
    next.setInterval(0);
    QObject::connect(&next, &QTimer::timeout, &dlg, [&] {
        if (step(progress)) {
            dlg.Refresh();
            dlg.Finish();
            return;
        }
        dlg.Refresh();
        next.start();
    });
    next.start();
    dlg.exec();
    return progress.Cancelled() ? JobEnd::cancelled : JobEnd::finished;
}
