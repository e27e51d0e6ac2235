// Which devices a Solid device action's predicate matches, as Plasma's device
// notifier matches them: the predicate read from the action file and parsed
// by Solid itself, each device taken as it is when it arrives. With
// SOLID_FAKEHW naming a device list (Solid's fake back end), the devices
// are those of the list.
// Usage: solid-predicate-match <action file>; prints the UDI of every
// device the predicate matches, one a line. Exit status 1 when the file has
// no predicate or Solid cannot parse it.
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <Solid/Device>
#include <Solid/Predicate>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: solid-predicate-match <action file>\n");
    return 2;
  }
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    std::fprintf(stderr, "solid-predicate-match: cannot read %s\n", argv[1]);
    return 2;
  }
  const QString key = QStringLiteral("X-KDE-Solid-Predicate=");
  QString text;
  QTextStream lines(&file);
  while (!lines.atEnd()) {
    const QString line = lines.readLine();
    if (line.startsWith(key)) text = line.mid(key.size());
  }
  const Solid::Predicate predicate = Solid::Predicate::fromString(text);
  if (!predicate.isValid()) {
    std::fprintf(stderr, "solid-predicate-match: Solid cannot parse the predicate '%s'\n", qPrintable(text));
    return 1;
  }
  for (const Solid::Device& device : Solid::Device::allDevices())
    if (predicate.matches(device)) std::printf("%s\n", qPrintable(device.udi()));
  return 0;
}
