#include "gui/controls/NumberEdit.h"

#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace mvr::gui {

// The whole-number field's spin, by mouse and keyboard.
class NumberEditTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void SpinClicksStepTheNumberAndAreAnnouncedAfterwards();
    void DisabledOrSpinlessFieldIsAPlainField();

private:
    QWidget* window_ = nullptr;
    CNumberEdit* edit_ = nullptr;
};

void NumberEditTest::init() {
    window_ = new QWidget;
    auto* layout = new QHBoxLayout(window_);
    layout->addWidget(edit_ = new CNumberEdit(window_));
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void NumberEditTest::cleanup() {
    delete window_;
}

void NumberEditTest::SpinClicksStepTheNumberAndAreAnnouncedAfterwards() {
    QStringList seenWhenSpun;
    connect(edit_, &CNumberEdit::spun, this, [&] { seenWhenSpun << edit_->text(); });
    QSignalSpy spun(edit_, &CNumberEdit::spun);

    QTest::mouseClick(edit_->UpButton(), Qt::LeftButton); // an empty field shows 0
    QCOMPARE(edit_->text(), QStringLiteral("0"));
    edit_->setText(QStringLiteral("1.234"));
    QTest::mouseClick(edit_->UpButton(), Qt::LeftButton);
    QCOMPARE(edit_->text(), QStringLiteral("1235"));

    edit_->SetStep(5.0f);
    edit_->setText(QStringLiteral("3"));
    QTest::mouseClick(edit_->DownButton(), Qt::LeftButton);
    QCOMPARE(edit_->text(), QStringLiteral("-2"));
    edit_->setFocus();
    QTRY_VERIFY(edit_->hasFocus());
    QTest::keyClick(edit_, Qt::Key_Up);
    QCOMPARE(edit_->text(), QStringLiteral("3"));

    QCOMPARE(spun.count(), 4);
    QCOMPARE(spun.at(0).at(0).toInt(), -1);
    QCOMPARE(spun.at(2).at(0).toInt(), 1);
    QCOMPARE(seenWhenSpun, (QStringList{QStringLiteral("0"), QStringLiteral("1235"),
                                        QStringLiteral("-2"), QStringLiteral("3")}));
}

void NumberEditTest::DisabledOrSpinlessFieldIsAPlainField() {
    QVERIFY(edit_->UpButton()->isVisible());
    QVERIFY(edit_->textMargins().right() > 0);

    edit_->setEnabled(false);
    QVERIFY(!edit_->UpButton()->isVisible());
    QCOMPARE(edit_->textMargins().right(), 0);
    edit_->setEnabled(true);
    QVERIFY(edit_->UpButton()->isVisible());

    QSignalSpy spun(edit_, &CNumberEdit::spun);
    edit_->ShowSpin(false);
    QVERIFY(!edit_->UpButton()->isVisible());
    QCOMPARE(edit_->textMargins().right(), 0);
    edit_->setText(QStringLiteral("7"));
    edit_->setFocus();
    QTRY_VERIFY(edit_->hasFocus());
    QTest::keyClick(edit_, Qt::Key_Up);
    QCOMPARE(edit_->text(), QStringLiteral("7"));
    QCOMPARE(spun.count(), 0);
}

} // namespace mvr::gui

QTEST_MAIN(mvr::gui::NumberEditTest)
#include "NumberEditTest.moc"
