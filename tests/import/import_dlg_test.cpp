#include "gui_test_support.h"
#include "app/main_dlg.h"
#include "app/page.h"
#include "app/progress_job.h"
#include "exchange/import_refused.h"
#include "pages/import/import_dlg.h"
#include "pages/page_registry.h"
#include "records/data_files.h"
#include "resources/templates/import_ids.h"
#include "resources/templates/main_ids.h"
#include "resources/templates/pot_client_ids.h"
#include "theme/skin_list_ctrl.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace vantorel;
using namespace vantorel::exchange;
namespace id = ids::import;

namespace {

class ImportDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        msg::SetFileResponder([this](const QString& caption, const QString&, QString*) {
            asked << caption;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        main_ = std::make_unique<CMainDlg>(Session(dir_.filePath("data").toStdString()), AllPageFactories());
        QDir().mkpath(dir_.filePath("data"));
        main_->Initialise();
        main_->show();
    }
    void TearDown() override {
        msg::SetFileResponder({});
        progress::SetObserver({});
    }
    QString Write(const char* name, const QString& text) {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return path;
    }
    // The dialog over the main window with `file` chosen through its button.
    std::unique_ptr<CImportDlg> Open(const QString& file, int kind) {
        auto dlg = std::make_unique<CImportDlg>(main_.get(), main_.get());
        dlg->show();
        ChooseIndex(dlg.get(), id::Kind, kind);
        answers << file;
        Press(dlg.get(), id::Choose);
        return dlg;
    }
    static QString Cell(CImportDlg& dlg, int list, int row, int column) {
        return FindCtl<CSkinListCtrl>(&dlg, list)->GetItemText(row, column);
    }

    QTemporaryDir dir_;
    MessageRecorder boxes_;
    std::unique_ptr<CMainDlg> main_;
    QStringList asked, answers;
};

constexpr int kPolicies = 0, kClients = 1;

} // namespace

TEST_F(ImportDialog, TheMainWindowsButtonOpensItUnderBackup) {
    auto* backup = FindCtl<QAbstractButton>(main_.get(), ids::main_window::Backup);
    auto* remind = FindCtl<QAbstractButton>(main_.get(), ids::main_window::Remind);
    auto* import = FindCtl<QAbstractButton>(main_.get(), ids::main_window::Import);
    ASSERT_TRUE(import);
    EXPECT_EQ(import->text(), QStringLiteral("导入数据"));
    EXPECT_EQ(import->x(), backup->x());
    EXPECT_EQ(import->size(), backup->size());
    // The same step as the buttons above, to the pixel that dialog units round to.
    EXPECT_LE(std::abs((import->y() - backup->y()) - (backup->y() - remind->y())), 1);
    main_->grab().save("main-window.png");
    QString seen;
    QTimer::singleShot(0, [&seen] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dlg) return;
        seen = dlg->objectName();
        dlg->reject();
    });
    import->click();
    EXPECT_EQ(seen, "182");
}

TEST_F(ImportDialog, ColumnsMatchByLabelFieldNameAndSynonymAndAConflictStopsTheCheck) {
    const QString path =
        Write("p.csv", QStringLiteral("保险单号,holder.mobile,客户姓名,姓名,序号\nP1,139,张三,张三,1\n"));
    auto dlg = Open(path, kPolicies);
    EXPECT_EQ(Cell(*dlg, id::Columns, 0, 3), QStringLiteral("保险单号")) << "our own label";
    EXPECT_EQ(Cell(*dlg, id::Columns, 1, 3), QStringLiteral("投保人手机")) << "the data tool's field name";
    EXPECT_TRUE(Cell(*dlg, id::Columns, 2, 3).contains(QStringLiteral("投保人姓名"))) << "a synonym";
    EXPECT_TRUE(Cell(*dlg, id::Columns, 2, 3).contains(QStringLiteral("冲突")));
    EXPECT_TRUE(Cell(*dlg, id::Columns, 3, 3).contains(QStringLiteral("冲突")));
    EXPECT_EQ(Cell(*dlg, id::Columns, 4, 3), QStringLiteral("不导入"));
    EXPECT_TRUE(FindCtl<QLabel>(dlg.get(), id::Matching)->text().contains(QStringLiteral("冲突")));
    Press(dlg.get(), id::Check);
    EXPECT_TRUE(boxes_.Last().contains(QStringLiteral("同一个字段")));
    EXPECT_EQ(dlg->Plan(), nullptr);

    // The user sets the fourth column to 不导入 with the keyboard's combo.
    auto* columns = FindCtl<CSkinListCtrl>(dlg.get(), id::Columns);
    columns->SelectRow(3);
    auto* field = FindCtl<QComboBox>(dlg.get(), id::Field);
    EXPECT_EQ(field->currentText(), QStringLiteral("投保人姓名"));
    field->setCurrentIndex(0);
    emit field->activated(0);
    EXPECT_EQ(Cell(*dlg, id::Columns, 3, 3), QStringLiteral("不导入"));
    EXPECT_EQ(Cell(*dlg, id::Columns, 2, 3), QStringLiteral("投保人姓名"));
    Press(dlg.get(), id::Check);
    ASSERT_NE(dlg->Plan(), nullptr);
    EXPECT_EQ(dlg->Plan()->Row(0).state, RowState::added);
}

TEST_F(ImportDialog, RowStatesFixesDuplicateChoicesAndTheRefusedRows) {
    PotClientRecord stored;
    stored.person.name = "A";
    stored.person.idNumber = "1";
    stored.person.mobile = "100";
    stored.hobby = "chess";
    main_->Book().clients.Add(stored);
    const QString path = Write("k.csv", QStringLiteral("姓名,身份证号码,手机号,生日\n"
                                                       "A,1,139,\n"           // 更新
                                                       "B,2,137,2004-05-29\n" // 新增
                                                       "B,2,136,\n"           // 重复
                                                       "C,3,135,明天\n"));    // 错误
    auto dlg = Open(path, kClients);
    Press(dlg.get(), id::Check);
    ASSERT_NE(dlg->Plan(), nullptr);
    EXPECT_EQ(Cell(*dlg, id::Preview, 0, 1), QStringLiteral("更新（跳过）"));
    EXPECT_EQ(Cell(*dlg, id::Preview, 1, 1), QStringLiteral("新增"));
    EXPECT_EQ(Cell(*dlg, id::Preview, 2, 1), QStringLiteral("重复"));
    EXPECT_EQ(Cell(*dlg, id::Preview, 3, 1), QStringLiteral("错误"));
    EXPECT_TRUE(Cell(*dlg, id::Preview, 3, 2).contains(QStringLiteral("不是日期")));
    EXPECT_EQ(Cell(*dlg, id::Preview, 3, 6), QStringLiteral("⚠ 明天")) << "the bad cell marked";
    EXPECT_EQ(Cell(*dlg, id::Preview, 1, 6), QStringLiteral("2004-05-29（2004/5-29）")) << "what it is read as";
    dlg->grab().save("import-dialog.png"); // in the test's working folder, to look at

    // F2 on the bad row edits its bad cell in place; Enter checks the row again.
    auto* preview = FindCtl<CSkinListCtrl>(dlg.get(), id::Preview);
    preview->SelectRow(3);
    preview->setFocus();
    QTest::keyClick(preview, Qt::Key_F2);
    auto* editor = dlg->findChild<QLineEdit*>(QStringLiteral("cellEditor"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("明天"));
    editor->setText(QStringLiteral("1980年1月2日"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Cell(*dlg, id::Preview, 3, 1), QStringLiteral("新增"));
    EXPECT_TRUE(
        FindCtl<QLabel>(dlg.get(), id::Counts)->text().contains(QStringLiteral("新增 2，更新 0，跳过 1，不导入 1")))
        << FindCtl<QLabel>(dlg.get(), id::Counts)->text().toStdString();

    // 都保留 is the clients' own: every row with a key in the book or twice in the file goes in.
    EXPECT_TRUE(FindCtl<QAbstractButton>(dlg.get(), id::KeepBoth)->isEnabled());
    Press(dlg.get(), id::KeepBoth);
    EXPECT_TRUE(
        FindCtl<QLabel>(dlg.get(), id::Counts)->text().contains(QStringLiteral("新增 4，更新 0，跳过 0，不导入 0")));
    Press(dlg.get(), id::Update);
    EXPECT_EQ(Cell(*dlg, id::Preview, 0, 1), QStringLiteral("更新"));

    // The refused rows as a spreadsheet, their reasons last.
    answers << dir_.filePath("refused.xlsx");
    Press(dlg.get(), id::SaveRefused);
    EXPECT_TRUE(boxes_.Last().startsWith(QStringLiteral("1 行已保存"))) << boxes_.Last().toStdString();
    auto back = ReadSheet(dir_.filePath("refused.xlsx"), 0);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->At(0, 4).Text(), RefusedReasonHeader());
    EXPECT_EQ(back->At(1, 2).Text(), "136");
    EXPECT_TRUE(back->At(1, 4).Text().contains(QStringLiteral("重复")));

    Press(dlg.get(), id::Start);
    EXPECT_EQ(boxes_.Last().section(u'\n', 0, 0),
              QStringLiteral("导入完成：新增 2 条，更新 1 条，跳过 0 条，未导入 1 条。"));
    const CPotClient& clients = main_->Book().clients;
    ASSERT_EQ(clients.GetSize(), 3);
    PotClientRecord updated = stored;
    updated.person.mobile = "139";
    EXPECT_EQ(clients.GetAt(0), updated) << "the fields the file does not map are kept";
    EXPECT_EQ(clients.GetAt(2).person.birthDate, "1980/1-2");
    // The page's list follows its collection by itself.
    EXPECT_EQ(FindCtl<CSkinListCtrl>(main_->Page(ids::client::Template), ids::client::List)->GetItemCount(), 3);
    Press(dlg.get(), id::Start);
    EXPECT_TRUE(boxes_.Last().contains(QStringLiteral("已经导入")));
}

TEST_F(ImportDialog, SkipIsTheDefaultAndACancelChangesNothing) {
    QString csv = QStringLiteral("保单号,投保人姓名\n");
    for (int i = 0; i < 3000; ++i) csv += QStringLiteral("N%1,名%1\n").arg(i);
    const QString path = Write("big.csv", csv);
    PolicyRecord stored;
    stored.info.policyNo = "N5";
    main_->Book().insurance.Add(stored);
    const std::string before(main_->Book().insurance.Bytes(0));
    auto dlg = Open(path, kPolicies);
    EXPECT_FALSE(FindCtl<QAbstractButton>(dlg.get(), id::KeepBoth)->isEnabled())
        << "never two policies with one number";
    Press(dlg.get(), id::Check);
    bool sawImporting = false;
    progress::SetObserver([&](QDialog* progress, JobProgress& p) {
        if (p.Text().startsWith(QStringLiteral("已导入")) && main_->Book().insurance.GetSize() > 100) {
            sawImporting = true;
            progress->reject();
        }
    });
    Press(dlg.get(), id::Start);
    EXPECT_TRUE(sawImporting);
    EXPECT_EQ(boxes_.Last(), QStringLiteral("导入已取消，资料没有改动。"));
    ASSERT_EQ(main_->Book().insurance.GetSize(), 1);
    EXPECT_EQ(main_->Book().insurance.Bytes(0), before);

    progress::SetObserver({});
    Press(dlg.get(), id::Start);
    EXPECT_EQ(boxes_.Last().section(u'\n', 0, 0),
              QStringLiteral("导入完成：新增 2999 条，更新 0 条，跳过 1 条，未导入 0 条。"));
    EXPECT_EQ(main_->Book().insurance.GetAt(0), stored) << "skipped by default";
}
