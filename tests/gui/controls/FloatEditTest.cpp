#include "gui/controls/FloatEdit.h"

#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace mvr::gui {

// The decimal-number field: its spin keeps the decimals the whole-number
// field would drop, and its value reads a comma as the decimal point.
class FloatEditTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void SpinStepsDecimalsByMouseAndKeyboard();
    void ValueReadsTheFirstCommaAsDecimalPointInTheFieldItself();

private:
    QWidget* window_ = nullptr;
    CFloatEdit* edit_ = nullptr;
};

void FloatEditTest::init() {
    window_ = new QWidget;
    auto* layout = new QHBoxLayout(window_);
    layout->addWidget(edit_ = new CFloatEdit(window_));
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void FloatEditTest::cleanup() {
    delete window_;
}

void FloatEditTest::SpinStepsDecimalsByMouseAndKeyboard() {
    QSignalSpy spun(edit_, &CNumberEdit::spun);
    edit_->SetStep(0.1f);
    edit_->setText(QStringLiteral("1"));
    QTest::mouseClick(edit_->UpButton(), Qt::LeftButton);
    QCOMPARE(edit_->text(), QStringLiteral("1.1"));
    edit_->setText(QStringLiteral("1"));
    QTest::mouseClick(edit_->DownButton(), Qt::LeftButton);
    QCOMPARE(edit_->text(), QStringLiteral("0.9"));
    edit_->setText(QStringLiteral("1,5"));
    QTest::mouseClick(edit_->UpButton(), Qt::LeftButton);
    QCOMPARE(edit_->text(), QStringLiteral("1.6"));
    // Every click is announced once, not once by the field and once by its base.
    QCOMPARE(spun.count(), 3);

    edit_->setFocus();
    QTRY_VERIFY(edit_->hasFocus());
    edit_->setText(QStringLiteral("2.5"));
    QTest::keyClick(edit_, Qt::Key_Up);
    QCOMPARE(edit_->text(), QStringLiteral("2.6"));
    QTest::keyClick(edit_, Qt::Key_Down);
    QTest::keyClick(edit_, Qt::Key_Down);
    QCOMPARE(edit_->text(), QStringLiteral("2.4"));
    QCOMPARE(spun.count(), 6);
    QCOMPARE(spun.at(3).at(0).toInt(), -1);
    QCOMPARE(spun.at(4).at(0).toInt(), 1);

    edit_->clear();
    QTest::mouseClick(edit_->UpButton(), Qt::LeftButton);
    QCOMPARE(edit_->text(), QStringLiteral("0"));
}

void FloatEditTest::ValueReadsTheFirstCommaAsDecimalPointInTheFieldItself() {
    edit_->setText(QStringLiteral("2,5"));
    QCOMPARE(edit_->GetValue(), 2.5);
    QCOMPARE(edit_->text(), QStringLiteral("2.5"));
    edit_->setText(QStringLiteral("abc"));
    QCOMPARE(edit_->GetValue(), 0.0);
    edit_->clear();
    QCOMPARE(edit_->GetValue(), 0.0);
}

} // namespace mvr::gui

QTEST_MAIN(mvr::gui::FloatEditTest)
#include "FloatEditTest.moc"
