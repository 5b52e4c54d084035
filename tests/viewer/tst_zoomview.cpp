#include "viewer/ZoomView.h"

#include <QTest>

namespace {

ZoomView view(QSize picture, QSize viewport, double scale = 0)
{
    ZoomView result;
    result.setViewport(viewport);
    result.setPicture(picture);
    if (scale > 0)
        result.setScale(scale);
    return result;
}

// The picture point under view point `at`.
QPointF under(const ZoomView &v, QPointF at)
{
    return (at - v.offset()) / v.scale();
}

} // namespace

class TestZoomView : public QObject
{
    Q_OBJECT

private slots:
    void steps_data();
    void steps();
    void fitsAndCentres_data();
    void fitsAndCentres();
    void pointUnderThePointerStays_data();
    void pointUnderThePointerStays();
    void dragStopsAtTheEdges_data();
    void dragStopsAtTheEdges();
};

void TestZoomView::steps_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("steps"); // wheel notches or key presses, negative to zoom out
    QTest::addColumn<double>("expected");
    QTest::newRow("in from 100 %") << 1.0 << 1 << 1.25;
    QTest::newRow("out from 100 %") << 1.0 << -1 << 0.75;
    QTest::newRow("three notches") << 1.0 << 3 << 2.0;
    QTest::newRow("fitted between levels, in") << 0.9 << 1 << 1.0;
    QTest::newRow("fitted between levels, out") << 0.9 << -1 << 0.75;
    QTest::newRow("just below a level counts as on it") << 0.9995 << 1 << 1.25;
    QTest::newRow("just above a level counts as on it") << 1.0005 << -1 << 0.75;
    QTest::newRow("stops at 1600 %") << 8.0 << 30 << 16.0;
    QTest::newRow("nothing past 1600 %") << 16.0 << 1 << 16.0;
    QTest::newRow("stops at 5 %") << 1.0 << -40 << 0.05;
    QTest::newRow("below 5 %, up to 5 %") << 0.01 << 1 << 0.05;
}

void TestZoomView::steps()
{
    QFETCH(double, scale);
    QFETCH(int, steps);
    QFETCH(double, expected);
    QCOMPARE(ZoomView::steppedScale(scale, steps), expected);
}

void TestZoomView::fitsAndCentres_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("viewport");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QRectF>("shown"); // where the picture lies in the view
    QTest::addColumn<bool>("canPan");
    QTest::newRow("the window the picture's size")
        << QSize(400, 300) << QSize(400, 300) << 100 << QRectF(0, 0, 400, 300) << false;
    QTest::newRow("larger, bars above and below")
        << QSize(800, 600) << QSize(400, 400) << 50 << QRectF(0, 50, 400, 300) << false;
    QTest::newRow("window short of the frame")
        << QSize(400, 300) << QSize(396, 276) << 92 << QRectF(14, 0, 368, 276) << false;
    QTest::newRow("tiny, enlarged to 1600 % at most")
        << QSize(10, 10) << QSize(1000, 1000) << 1600 << QRectF(420, 420, 160, 160) << false;
    QTest::newRow("a strip, reduced to 5 % at least")
        << QSize(100000, 10) << QSize(100, 100) << 5 << QRectF(0, 49.75, 5000, 0.5) << true;
}

void TestZoomView::fitsAndCentres()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, viewport);
    QFETCH(int, percent);
    QFETCH(QRectF, shown);
    QFETCH(bool, canPan);
    // Fitted first in another size: a fitted picture follows the window, as at full screen.
    ZoomView v = view(picture, QSize(1280, 1024));
    v.setViewport(viewport);
    QVERIFY(v.fitted());
    QCOMPARE(v.percent(), percent);
    QCOMPARE(v.pictureRect(), shown);
    QCOMPARE(v.canPan(), canPan);
}

void TestZoomView::pointUnderThePointerStays_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<bool>("stays"); // false: the picture ends smaller than the window, centred
    QTest::newRow("in at a corner") << 1.0 << 2 << QPointF(10, 10) << true;
    QTest::newRow("in off centre") << 2.0 << 1 << QPointF(300, 50) << true;
    QTest::newRow("out, still larger") << 4.0 << -2 << QPointF(390, 290) << true;
    QTest::newRow("out below the window's size") << 2.0 << -4 << QPointF(390, 290) << false;
    QTest::newRow("in from fitted") << 0.0 << 3 << QPointF(123, 77) << true;
}

void TestZoomView::pointUnderThePointerStays()
{
    QFETCH(double, scale);
    QFETCH(int, steps);
    QFETCH(QPointF, pointer);
    QFETCH(bool, stays);
    ZoomView v = view(QSize(400, 300), QSize(400, 300), scale);
    v.panBy(QPointF(-37, -21)); // off the picture's top-left corner, where clamping would hide a fault
    const QPointF before = under(v, pointer);
    v.zoomBy(steps, pointer);
    QVERIFY(!v.fitted());
    if (stays) {
        QCOMPARE(under(v, pointer), before);
        return;
    }
    QCOMPARE(v.pictureRect().center(), QPointF(200, 150));
}

void TestZoomView::dragStopsAtTheEdges_data()
{
    QTest::addColumn<QPointF>("drag");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<QRectF>("source");    // the picture's part in view
    QTest::addColumn<bool>("middleStays"); // when the window grows; at an edge the edge stays instead
    // A 400x300 picture at 200 % in a 400x300 window, centred before the drag.
    QTest::newRow("a little") << QPointF(50, -20) << QPointF(-150, -170) << QRectF(75, 85, 200, 150) << true;
    QTest::newRow("past the left and top") << QPointF(900, 900) << QPointF(0, 0) << QRectF(0, 0, 200, 150) << false;
    QTest::newRow("past the right and bottom")
        << QPointF(-900, -900) << QPointF(-400, -300) << QRectF(200, 150, 200, 150) << false;
}

void TestZoomView::dragStopsAtTheEdges()
{
    QFETCH(QPointF, drag);
    QFETCH(QPointF, offset);
    QFETCH(QRectF, source);
    QFETCH(bool, middleStays);
    ZoomView v = view(QSize(400, 300), QSize(400, 300), 2.0);
    QCOMPARE(v.offset(), QPointF(-200, -150));
    v.panBy(drag);
    QCOMPARE(v.offset(), offset);
    QCOMPARE(v.visibleSource(), source);
    // The window made larger keeps the middle of what was in view there, and stays covered.
    const QPointF middle = under(v, QPointF(200, 150));
    v.setViewport(QSize(600, 450));
    QVERIFY(v.pictureRect().contains(QRectF(0, 0, 600, 450)));
    if (middleStays)
        QCOMPARE(under(v, QPointF(300, 225)), middle);
}

QTEST_GUILESS_MAIN(TestZoomView)
#include "tst_zoomview.moc"
