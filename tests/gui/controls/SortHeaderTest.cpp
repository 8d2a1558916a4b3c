#include "gui/controls/SortHeader.h"

#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace mvr::gui {

class SortHeaderTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete view_; }

    void ArrowFollowsTheSortStateItIsGiven();
    void TitleKeepsClearOfTheArrow();
    void ClickReportsTheColumnWithoutTurningTheArrow();

private:
    QImage Section(int column, const QString& title) {
        model_->setHeaderData(column, Qt::Horizontal, title);
        return header_->viewport()
            ->grab(QRect(header_->sectionViewportPosition(column), 0, header_->sectionSize(column),
                         header_->height()))
            .toImage();
    }
    // The box around the pixels that a title adds to the bare section.
    QRect Title(int column, const QString& title) {
        const QImage bare = Section(column, QString());
        const QImage titled = Section(column, title);
        QRect box;
        for (int y = 0; y < bare.height(); ++y) {
            for (int x = 0; x < bare.width(); ++x) {
                if (bare.pixel(x, y) != titled.pixel(x, y)) {
                    box |= QRect(x, y, 1, 1);
                }
            }
        }
        return box;
    }

    QTableView* view_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    CSortHeader* header_ = nullptr;
    int e_ = 0; // the margin unit: two spaces of the header's font
};

void SortHeaderTest::init() {
    view_ = new QTableView;
    model_ = new QStandardItemModel(3, 4, view_);
    view_->setHorizontalHeader(header_ = new CSortHeader(view_));
    view_->setModel(model_);
    for (int column = 0; column < 4; ++column) {
        header_->resizeSection(column, 120);
    }
    view_->resize(600, 200); // every section in sight
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_));
    e_ = 2 * header_->fontMetrics().horizontalAdvance(QLatin1Char(' '));
}

void SortHeaderTest::ArrowFollowsTheSortStateItIsGiven() {
    const QString name = QStringLiteral("Name");
    const QImage plain0 = Section(0, name);
    const QImage plain2 = Section(2, QString());
    QCOMPARE(header_->SetSortColumn(0, true), -1);
    QVERIFY(Section(0, name) != plain0);

    QCOMPARE(header_->SetSortColumn(2, true), 0);
    QCOMPARE(Section(0, name), plain0); // its title stays, its arrow goes
    const QImage up = Section(2, QString());
    QVERIFY(up != plain2);
    QCOMPARE(header_->SetSortColumn(2, false), 2);
    const QImage down = Section(2, QString());
    QVERIFY(down != up && down != plain2);
    // Only the strip left free for it holds the arrow.
    const int w = header_->sectionSize(2);
    const int h = header_->height();
    const int left = w - 5 * e_ / 2 - 2;
    const int right = w - 3 * e_ / 2;
    for (const QImage& sorted : {up, down}) {
        QCOMPARE(sorted.copy(0, 0, left, h), plain2.copy(0, 0, left, h));
        QCOMPARE(sorted.copy(right + 1, 0, w - right - 1, h),
                 plain2.copy(right + 1, 0, w - right - 1, h));
    }

    header_->SetSortColumn(-1, true);
    QCOMPARE(Section(2, QString()), plain2);
}

void SortHeaderTest::TitleKeepsClearOfTheArrow() {
    const int w = header_->sectionSize(3);
    model_->setHeaderData(3, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter),
                          Qt::TextAlignmentRole);
    const int right = Title(3, QStringLiteral("To")).right();
    QVERIFY2(right < w - e_ && right >= w - e_ - 3, qPrintable(QString::number(right)));
    header_->SetSortColumn(3, true);
    const int sortedRight = Title(3, QStringLiteral("To")).right();
    QVERIFY2(sortedRight < w - 4 * e_ && sortedRight >= w - 4 * e_ - 3,
             qPrintable(QString::number(sortedRight)));

    const QString longTitle = QStringLiteral("A long title");
    header_->resizeSection(3, 5 * e_); // room for the arrow alone
    QVERIFY(!Title(3, longTitle).isValid());
    header_->resizeSection(3, 7 * e_);
    QVERIFY(Title(3, longTitle).isValid());
}

void SortHeaderTest::ClickReportsTheColumnWithoutTurningTheArrow() {
    header_->SetSortColumn(0, true);
    const QImage sorted = Section(0, QString());
    QSignalSpy clicked(header_, &CSortHeader::ColumnClicked);
    const QPoint onColumn1(header_->sectionViewportPosition(1) + 30, header_->height() / 2);
    QTest::mouseClick(header_->viewport(), Qt::LeftButton, {}, onColumn1);
    QTest::mouseClick(header_->viewport(), Qt::LeftButton, {}, onColumn1);
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(clicked.at(1).at(0).toInt(), 1);
    QCOMPARE(header_->SortColumn(), 0);
    QCOMPARE(Section(0, QString()), sorted);
}

} // namespace mvr::gui

QTEST_MAIN(mvr::gui::SortHeaderTest)
#include "SortHeaderTest.moc"
