// Prints the MIME type a fresh process sees for a file, after the registration wrote its database.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromLocal8Bit(argv[1]));
  std::printf("MIME=%s;%s;\n", qPrintable(type.name()), qPrintable(type.comment()));
  return 0;
}
