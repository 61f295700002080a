// Draws the rectangles of packaging/icons/quorby.svg at the PNG sizes of the
// icon theme (QtSvg is no dependency of the program). Build and run:
//   g++ -std=c++20 -fPIC $(pkg-config --cflags Qt6Gui) scripts/render-icons.cpp -o /tmp/render-icons $(pkg-config --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/render-icons packaging/icons/quorby.svg packaging/icons
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cstdio>
int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  QFile f(argv[1]); f.open(QIODevice::ReadOnly); QXmlStreamReader xml(&f);
  struct R { QRectF r; qreal rx; QColor c; }; std::vector<R> rects; std::vector<QColor> groupFill{QColor()};
  while (!xml.atEnd()) { xml.readNext();
    if (xml.isStartElement() && xml.name() == u"g") groupFill.push_back(QColor(xml.attributes().value("fill").toString()));
    if (xml.isEndElement() && xml.name() == u"g") groupFill.pop_back();
    if (xml.isStartElement() && xml.name() == u"rect") { auto a = xml.attributes();
      QColor c = a.hasAttribute("fill") ? QColor(a.value("fill").toString()) : groupFill.back();
      rects.push_back({QRectF(a.value("x").toDouble(), a.value("y").toDouble(), a.value("width").toDouble(), a.value("height").toDouble()), a.value("rx").toDouble(), c}); } }
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied); img.fill(Qt::transparent);
    QPainter p(&img); p.setRenderHint(QPainter::Antialiasing); p.scale(size / 256.0, size / 256.0); p.setPen(Qt::NoPen);
    for (auto& r : rects) { p.setBrush(r.c); if (r.rx > 0) p.drawRoundedRect(r.r, r.rx, r.rx); else p.drawRect(r.r); }
    p.end(); img.save(QString("%1/quorby-%2.png").arg(argv[2]).arg(size));
  }
}
