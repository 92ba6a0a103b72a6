#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  std::fprintf(stderr, "usage: ferrolume-convert INPUT OUTPUT\n");
  return 1;
}
