#include "statistics_page.h"

#include "agent/tallies.h"
#include "resources/templates/statistics_ids.h"
#include "resources/templates/statistics_template.h"
#include "theme/skin_list_ctrl.h"
#include "theme/theme_colours.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QFontMetrics>
#include <QToolTip>
#include <QValueAxis>

namespace {
namespace id = ids::statistics;
constexpr int kMaxBars = 50;

// The page's fifteen buttons, the tally each runs and the width of its category column.
struct TallyButton {
    int button;
    stats::Tally tally;
    int width;
};
using T = stats::Tally;
constexpr TallyButton kButtons[] = {
    {id::PolicyPayment, T::policyPayment, 100},   {id::PolicyProduct, T::policyProduct, 100},
    {id::PolicyBenefit, T::policyBenefit, 100},   {id::HolderSex, T::holderSex, 100},
    {id::HolderMarital, T::holderMarital, 100},   {id::HolderEducation, T::holderEducation, 120},
    {id::HolderIncome, T::holderIncome, 120},     {id::InsuredSex, T::insuredSex, 100},
    {id::InsuredMarital, T::insuredMarital, 100}, {id::InsuredEducation, T::insuredEducation, 120},
    {id::InsuredIncome, T::insuredIncome, 120},   {id::ClientSex, T::clientSex, 100},
    {id::ClientMarital, T::clientMarital, 100},   {id::ClientEducation, T::clientEducation, 120},
    {id::ClientIncome, T::clientIncome, 120},
};

QWidget* MakeChart(const tmpl::Control& c, QWidget* parent) {
    if (c.id != id::Chart) return new QWidget(parent);
    auto* view = new QChartView(parent);
    view->setRenderHint(QPainter::Antialiasing);
    QChart* chart = view->chart();
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(QColor::fromRgb(theme::kPageBackground));
    chart->setTitleBrush(QColor::fromRgb(theme::kStaticText));
    chart->setMargins(QMargins(4, 4, 4, 4));
    return view;
}
} // namespace

CStatisticsPage::CStatisticsPage(const vantorel::DataBook& book, QWidget* parent)
    : CPage(tmpl::StatisticsTemplate(), parent, MakeChart), book_(book) {
    list_ = Ctl<CSkinListCtrl>(id::List);
    chart_ = Ctl<QChartView>(id::Chart);

    // Each tally puts its own captions and widths.
    SetUpList(list_, {{QString(), 100}, {QString(), 200}});
    ShowChart({}, {}, {});

    for (const TallyButton& b : kButtons) OnClick(b.button, [this, &b] { RunTally(b.tally, b.width); });
}

CStatisticsPage::ValueSteps CStatisticsPage::ValueAxisSteps(qint64 top) {
    constexpr qint64 kMaxSteps = 5;
    top = qMax<qint64>(top, 1);
    qint64 step = 1;
    for (qint64 power = 1;; power *= 10) {
        for (qint64 m : {1, 2, 5}) {
            step = m * power;
            if ((top + step - 1) / step <= kMaxSteps) return {step, int((top + step - 1) / step)};
        }
    }
}

QString CStatisticsPage::BarTip(const QString& category, int count) {
    return QStringLiteral("%1：%2").arg(category).arg(count);
}

void CStatisticsPage::OnSelected() {
    list_->DeleteAllItems();
    ShowChart({}, {}, {});
}

void CStatisticsPage::RunTally(stats::Tally tally, int width) {
    CommitQuiet();
    const stats::TallyRows rows = stats::Run(tally, book_);

    list_->setUpdatesEnabled(false);
    list_->DeleteAllItems();
    list_->DeleteColumn(1);
    list_->DeleteColumn(0);
    const QString caption = QString::fromUtf8(stats::Spec(tally).caption);
    list_->InsertColumn(0, caption, width);
    list_->InsertColumn(1, QStringLiteral("数量"), 200);

    std::vector<QStringList> listRows;
    listRows.reserve(rows.size());
    QStringList categories;
    QList<int> counts;
    for (const stats::TallyRow& r : rows) {
        QString category = r.category;
        // The chart's axis drops a null text; the empty category is a bar too.
        if (category.isNull()) category = QStringLiteral("");
        listRows.push_back({category, QString::number(r.count)});
        categories << category;
        counts << r.count;
    }
    list_->SetRows(std::move(listRows));
    list_->setUpdatesEnabled(true);
    ShowChart(caption, categories, counts);
}

void CStatisticsPage::ShowChart(const QString& title, const QStringList& categories, const QList<int>& counts) {
    QChart* chart = chart_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* a : chart->axes()) {
        chart->removeAxis(a);
        delete a;
    }
    if (categories.isEmpty()) {
        chart->setTitle(title);
        return;
    }
    // Past a few dozen bars nothing on a chart is legible, and the chart
    // would take seconds to build: it then shows the first rows and says so.
    const qsizetype shown = qMin(categories.size(), qsizetype(kMaxBars));
    chart->setTitle(shown < categories.size()
                        ? QStringLiteral("%1（前%2项，共%3项）").arg(title).arg(shown).arg(categories.size())
                        : title);

    auto* set = new QBarSet(QStringLiteral("数量"));
    set->setColor(QColor::fromRgb(theme::kListText));
    int top = 0;
    for (qsizetype i = 0; i < shown; ++i) {
        *set << counts[i];
        top = qMax(top, counts[i]);
    }
    auto* series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);

    auto* x = new QBarCategoryAxis;
    x->append(categories.mid(0, shown));
    // A label wider than its bar is cut down to "…" by the axis: such labels
    // stand on end, and every bar tells its whole label and count on hover.
    const QFontMetrics labelFont(x->labelsFont());
    const int slot = qMax(1, int(chart_->width() - 80) / int(shown));
    bool wide = false;
    for (qsizetype i = 0; i < shown; ++i) wide = wide || labelFont.horizontalAdvance(categories[i]) > slot - 4;
    x->setLabelsAngle(wide ? -90 : 0);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    connect(set, &QBarSet::hovered, chart_, [this, categories, counts](bool on, int index) {
        if (on && index >= 0 && index < categories.size())
            QToolTip::showText(QCursor::pos(), BarTip(categories[index], counts[index]), chart_);
        else
            QToolTip::hideText();
    });
    auto* y = new QValueAxis;
    // Counts are whole numbers. The axis gives each label an equal share of
    // its height and cuts a label that does not fit its share down to "...",
    // so there are few of them: at most five steps of 1, 2 or 5 times a power
    // of ten, from 0 to the first step at or above the tallest bar.
    const ValueSteps steps = ValueAxisSteps(top);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setRange(0, double(steps.step * steps.count));
    y->setTickCount(steps.count + 1);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
}
