// Which devices a Solid device action's predicate matches, read and parsed
// by KDE's Solid itself, each device as it is (with SOLID_FAKEHW naming a
// device list, those of Solid's fake back end).
// Usage: solid-predicate-match <action file>; prints each matching device's
// UDI. Exit status 1 when Solid cannot parse the predicate.
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <Solid/Device>
#include <Solid/Predicate>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QFile file(argc == 2 ? QString::fromLocal8Bit(argv[1]) : QString());
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    std::fprintf(stderr, "usage: solid-predicate-match <action file>\n");
    return 2;
  }
  const QString key = QStringLiteral("X-KDE-Solid-Predicate=");
  QString text;
  for (QTextStream lines(&file); !lines.atEnd();) {
    const QString line = lines.readLine();
    if (line.startsWith(key)) text = line.mid(key.size());
  }
  const Solid::Predicate predicate = Solid::Predicate::fromString(text);
  if (!predicate.isValid()) {
    std::fprintf(stderr, "solid-predicate-match: Solid cannot parse '%s'\n", qPrintable(text));
    return 1;
  }
  for (const Solid::Device& device : Solid::Device::allDevices())
    if (predicate.matches(device)) std::printf("%s\n", qPrintable(device.udi()));
  return 0;
}
