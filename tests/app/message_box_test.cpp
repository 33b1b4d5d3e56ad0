#include "gui_test_support.h"
#include "app/message_box.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <memory>

namespace {

QString Shown(const QString& text) { return QString(text).remove('&'); }

TEST(MessageBoxes, QtsOwnTextsAreChinese) {
    QStringList buttons;
    EnterOnRealBoxes enter([&](QMessageBox* box) {
        for (auto which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok})
            if (QAbstractButton* b = box->button(which)) buttons << Shown(b->text());
    });
    msg::Ask(nullptr, "确认修改？");
    msg::Info(nullptr, "保险单号不能为空！");
    EXPECT_EQ(enter.seen, 2);
    // Qt's Chinese texts carry the access key: "是(Y)", "否(N)".
    EXPECT_EQ(buttons, (QStringList{"是(Y)", "否(N)", "确定"}));

    QLineEdit edit("文字");
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList actions;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) actions << Shown(a->text()).section('\t', 0, 0);
    EXPECT_EQ(actions, (QStringList{"撤消(U)", "重做(R)", "剪切(T)", "复制(C)", "粘贴(P)", "删除", "全选"}));

    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    QStringList labels;
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
        labels << Shown(files.findChild<QLabel*>(name)->text());
    EXPECT_EQ(labels, (QStringList{"查找范围：", "文件名称(N)：", "文件类型："}));
}

TEST(MessageBoxes, EnterAnswersNoOnlyWhereNoIsTheDefault) {
    QStringList seen; // text | default button | focused button
    EnterOnRealBoxes enter([&](QMessageBox* box) {
        auto* focused = qobject_cast<QAbstractButton*>(box->focusWidget());
        const QString focus = focused ? Shown(focused->text()) : QString();
        seen << QStringList{box->text(), Shown(box->defaultButton()->text()), focus}.join('|');
    });
    EXPECT_FALSE(msg::Ask(nullptr, "确认删除所有保单?", msg::Default::no));
    EXPECT_TRUE(msg::Ask(nullptr, "确认修改？"));
    EXPECT_EQ(seen, (QStringList{"确认删除所有保单?|否(N)|否(N)", "确认修改？|是(Y)|是(Y)"}));
}

TEST(MessageBoxes, AShortTextLeavesRoomForTheTitle) {
    int width = 0, needed = 0;
    EnterOnRealBoxes enter([&](QMessageBox* box) {
        width = box->width();
        needed = msg::MinimumBoxWidth(*box);
    });
    msg::Info(nullptr, "备份成功！");
    EXPECT_EQ(enter.seen, 1);
    EXPECT_GT(needed, QFontMetrics(QApplication::font()).horizontalAdvance("Vantorel"));
    EXPECT_GE(width, needed);
}

} // namespace
