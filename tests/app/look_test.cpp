// The look of the whole program: every page in the main window and the two
// dialogs, rendered and written out as PNG files to look at, with pixel
// checks of what a user would notice.
#include "gui_test_support.h"
#include "agent/gbk.h"
#include "app/main_dlg.h"
#include "app/page.h"
#include "app/template_builder.h"
#include "pages/page_registry.h"
#include "pages/policy/beneficiary_dlg.h"
#include "pages/policy/policy_entry_page.h"
#include "pages/policy/rider_dlg.h"
#include "resources/templates/main_ids.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/pot_client_ids.h"
#include "resources/templates/query_ids.h"
#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/schedule_ids.h"
#include "resources/templates/statistics_ids.h"
#include "resources/templates/team_member_ids.h"
#include "resources/templates/welcome_ids.h"
#include "theme/skin_list_ctrl.h"
#include "theme/theme_colours.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

QImage Grab(QWidget* w) {
    QApplication::processEvents();
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pictures go to the test's working folder, not the temporary data folder.
QString g_pictureDir;
void Save(const QImage& img, const QString& name) { img.save(g_pictureDir + u'/' + name + QStringLiteral(".png")); }

constexpr QRgb kGround = theme::kPageBackground;
const int kPages[] = {ids::entry::Template,   ids::query::Template,     ids::client::Template,
                      ids::member::Template,  ids::schedule::Template,  ids::remind::Template,
                      ids::welcome::Template, ids::statistics::Template};

bool IsGround(const QImage& img, QPoint p) { return (img.pixel(p) & 0xFFFFFF) == kGround; }

// Points inside the window's group boxes where nothing but the ground may
// show: clear of the title and the frame, outside every control, and in the
// gap between a check box's (or option button's) box and its caption.
QList<QPoint> GroundInsideGroups(QWidget* window) {
    QList<QPoint> points;
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    auto covered = [&](QPoint p, QGroupBox* g) {
        for (QWidget* c : children) {
            if (!c->isVisible() || qobject_cast<QGroupBox*>(c) || c->isAncestorOf(g)) continue;
            if (QRect(c->mapTo(window->window(), QPoint(0, 0)), c->size()).adjusted(-1, -1, 1, 1).contains(p))
                return true;
        }
        return false;
    };
    for (QGroupBox* g : window->findChildren<QGroupBox*>()) {
        if (!g->isVisible()) continue;
        const QRect r(g->mapTo(window->window(), QPoint(0, 0)), g->size());
        for (int y = r.top() + 24; y < r.bottom() - 4; y += 3)
            for (int x = r.left() + 5; x < r.right() - 4; x += 3)
                if (!covered({x, y}, g)) points << QPoint(x, y);
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || !(qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b))) continue;
        const QPoint o = b->mapTo(window->window(), QPoint(0, 0));
        for (int y = 0; y < b->height(); ++y) points << o + QPoint(15, y);
    }
    return points;
}

// Leftmost and rightmost columns of `r` (window coordinates) holding anything
// but the ground.
std::pair<int, int> Ink(const QImage& img, const QRect& r) {
    int lo = INT_MAX, hi = INT_MIN;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (!IsGround(img, {x, y})) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    return {lo, hi};
}

QRect InWindow(QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// The clear ground between the effective date's last unit label "日" and the
// label "责任开始日" beside it, in pixels.
int GapBeforeLiabilityDate(QWidget* form) {
    const QImage img = Grab(form->window());
    QLabel* liability = nullptr;
    for (QLabel* l : form->findChildren<QLabel*>())
        if (l->text() == QStringLiteral("责任开始日")) liability = l;
    if (!liability) return -1;
    QLabel* day = nullptr;
    for (QLabel* l : form->findChildren<QLabel*>())
        if (l->text() == QStringLiteral("日") && l->y() == liability->y() && l->x() < liability->x() &&
            (!day || l->x() > day->x()))
            day = l;
    if (!day) return -1;
    const QRect band = InWindow(day).united(InWindow(liability));
    const int labelInk = Ink(img, QRect(InWindow(liability).left(), band.top(), 20, band.height())).first;
    const int dayLeft = InWindow(day).left();
    const int dayInk = Ink(img, QRect(dayLeft, band.top(), labelInk - dayLeft, band.height())).second;
    return labelInk - dayInk - 1;
}

class Look : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        g_pictureDir = QDir::currentPath();
        dlg_ = std::make_unique<CMainDlg>(dir_.path().toStdString(), AllPageFactories());
        dlg_->SetClock([] { return QDateTime(QDate(2004, 5, 29), QTime(5, 40, 30)); });
        dlg_->Initialise();
        dlg_->show();
        QApplication::processEvents();
    }
    void TearDown() override { dlg_.reset(); }
    CPage* Show(int page) {
        dlg_->ShowOnly(page);
        QApplication::processEvents();
        return dlg_->Page(page);
    }

    QTemporaryDir dir_;
    MessageRecorder boxes_; // nothing waits on a box
    std::unique_ptr<CMainDlg> dlg_;
};

} // namespace

// Group boxes are a frame on the page, not a lighter panel: the ground is one
// colour inside and outside them, and behind check boxes and option buttons.
TEST_F(Look, ThePageGroundIsEvenInsideGroupBoxes) {
    auto check = [](QWidget* window, const QString& name) {
        const QImage img = Grab(window);
        Save(img, name);
        const QList<QPoint> points = GroundInsideGroups(window);
        int wrong = 0;
        for (QPoint p : points)
            if (!IsGround(img, p) && wrong++ < 3)
                ADD_FAILURE() << name.toStdString() << ": #" << std::hex << (img.pixel(p) & 0xFFFFFF) << " at "
                              << std::dec << p.x() << "," << p.y();
        EXPECT_EQ(wrong, 0) << name.toStdString() << ": " << wrong << " of " << points.size() << " points";
    };
    int groups = 0;
    for (int id : kPages) {
        CPage* page = Show(id);
        groups += int(page->findChildren<QGroupBox*>().size());
        check(dlg_.get(), QStringLiteral("page_%1").arg(id));
    }
    EXPECT_GE(groups, 8);
    CBeneficiaryDlg beneficiaries(dlg_.get());
    beneficiaries.show();
    check(&beneficiaries, QStringLiteral("dialog_177"));
    beneficiaries.hide();
    CRiderDlg riders(dlg_.get());
    riders.show();
    check(&riders, QStringLiteral("dialog_178"));
}

// A stored policy shown on the entry page reads from the start of every value.
TEST_F(Look, ShownPolicyValuesReadFromTheirStart) {
    vantorel::PolicyRecord p;
    p.info.policyNo = "P-2004-000123456789";
    p.holder.name = ToGbk(QStringLiteral("欧阳明"));
    p.holder.idNumber = "110101197001010000";
    p.holder.homeAddress = ToGbk(QStringLiteral("北京市东城区东长安街一号东方广场东三办公楼十八层"));
    p.insured.idNumber = "11010119700101123X";
    auto* page = static_cast<CPolicyEntryPage*>(Show(ids::entry::Template));
    page->ShowPolicy(p);
    const QImage img = Grab(dlg_.get());
    Save(img, QStringLiteral("entry_long_values"));
    for (QLineEdit* e : page->findChildren<QLineEdit*>())
        EXPECT_EQ(e->cursorPosition(), 0) << e->objectName().toStdString() << " " << e->text().toStdString();
    EXPECT_EQ(FindCtl<QLineEdit>(page, ids::entry::holder::IdNumber)->text(), "110101197001010000");
}

// Controls take the sizes their layout tables give them, and texts keep clear
// of their neighbours.
TEST_F(Look, SizesFollowTheLayoutTablesAndLabelsKeepApart) {
    CPage* schedule = Show(ids::schedule::Template);
    Save(Grab(dlg_.get()), QStringLiteral("sizes_175"));
    auto* calendar = FindCtl(schedule, ids::schedule::Calendar);
    EXPECT_EQ(calendar->geometry(), tmpl::DluRect(8, 10, 169, 142));
    EXPECT_LE(calendar->minimumSizeHint().width(), calendar->width()) << "all seven columns fit";
    EXPECT_LE(calendar->minimumSizeHint().height(), calendar->height());

    CPage* statistics = Show(ids::statistics::Template);
    auto* list = FindCtl<CSkinListCtrl>(statistics, ids::statistics::List);
    EXPECT_EQ(list->x(), tmpl::DluX(166));
    EXPECT_EQ(list->y(), tmpl::DluY(11));
    EXPECT_EQ(list->width(), tmpl::DluX(167));

    CPage* entry = Show(ids::entry::Template);
    Save(Grab(dlg_.get()), QStringLiteral("sizes_136"));
    EXPECT_GE(GapBeforeLiabilityDate(entry), 5) << "entry page";
    CRiderDlg riders(dlg_.get());
    riders.show();
    Save(Grab(&riders), QStringLiteral("sizes_178"));
    EXPECT_GE(GapBeforeLiabilityDate(&riders), 5) << "riders dialog";
}

// The page palette reaches every control of every page and dialog, whenever it
// is made; the entry page's buttons are blue; the tree has its own colours; a
// box opened over a page keeps the dialog colours.
TEST_F(Look, ThePagePaletteColoursEveryControl) {
    auto is = [](const QWidget* w, QPalette::ColorRole role, QRgb c) {
        return w->palette().color(role) == QColor::fromRgb(c);
    };
    auto check = [&](QWidget* form, QRgb buttonText) {
        const std::string name = form->objectName().toStdString();
        EXPECT_TRUE(is(form, QPalette::Window, theme::kPageBackground)) << name;
        EXPECT_TRUE(form->autoFillBackground()) << name;
        int controls = 0;
        for (QWidget* w : form->findChildren<QWidget*>()) {
            const std::string what = name + " " + w->metaObject()->className() + " " + w->objectName().toStdString();
            ++controls;
            if (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w) || qobject_cast<QCheckBox*>(w) ||
                qobject_cast<QRadioButton*>(w))
                EXPECT_TRUE(is(w, QPalette::WindowText, theme::kStaticText)) << what;
            else if (qobject_cast<QPushButton*>(w))
                EXPECT_TRUE(is(w, QPalette::ButtonText, buttonText)) << what;
            else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w))
                EXPECT_TRUE(is(w, QPalette::Text, theme::kEditText) && is(w, QPalette::Base, theme::kEditBackground))
                    << what;
            else if (qobject_cast<QComboBox*>(w))
                EXPECT_TRUE(is(w, QPalette::Text, theme::kEditText)) << what;
            else
                --controls;
        }
        EXPECT_GT(controls, 0) << name;
    };
    for (int id : kPages) {
        CPage* page = Show(id);
        check(page, id == ids::entry::Template ? theme::kEntryButtonText : theme::kButtonText);
    }
    CBeneficiaryDlg beneficiaries(dlg_.get());
    beneficiaries.show();
    check(&beneficiaries, theme::kButtonText);
    CRiderDlg riders(dlg_.get());
    riders.show();
    check(&riders, theme::kButtonText);

    // A control made after the page is up is coloured too.
    auto* late = new QLineEdit(dlg_->Page(ids::client::Template));
    late->show();
    QApplication::processEvents();
    EXPECT_TRUE(is(late, QPalette::Text, theme::kEditText));

    auto* tree = FindCtl<QTreeWidget>(dlg_.get(), ids::main_window::Tree);
    EXPECT_TRUE(is(tree, QPalette::Base, theme::kTreeBackground) && is(tree, QPalette::Text, theme::kTreeText));

    QMessageBox box(QMessageBox::Information, "Vantorel", "x", QMessageBox::Ok, dlg_->Page(ids::client::Template));
    box.show();
    QApplication::processEvents();
    EXPECT_TRUE(is(&box, QPalette::Window, theme::kDialogBackground));
    for (QLabel* l : box.findChildren<QLabel*>()) EXPECT_FALSE(is(l, QPalette::WindowText, theme::kStaticText));
}
