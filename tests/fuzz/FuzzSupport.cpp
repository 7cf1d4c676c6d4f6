#include "tests/fuzz/FuzzSupport.h"

#include "platform/Screen.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {
QTemporaryDir& Folder() {
  static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quenary-fuzz-XXXXXX"));
  return folder;
}
}  // namespace

void StartFuzzing() {
  static bool started = false;
  if (started) return;
  started = true;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  FuzzCheck(Folder().isValid(), "a private folder can be made");
  const QDir folder(Folder().path());
  FuzzCheck(folder.mkpath(QStringLiteral("config")) && folder.mkpath(QStringLiteral("runtime")),
            "the configuration and runtime folders can be made");
  QFile::setPermissions(folder.filePath(QStringLiteral("runtime")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(QStringLiteral("config"))));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.filePath(QStringLiteral("runtime"))));
  // Lives as long as the process: fonts, pictures and database drivers need it for every input.
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
  RegisterFontSubstitutions();
}

QString FuzzFolder() { return Folder().path(); }

void FuzzCheck(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "Broken promise: %s\n", what);
  std::abort();
}

QByteArray InputBytes(const std::uint8_t* data, std::size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void WriteFuzzFile(const QString& fileName, const QByteArray& bytes) {
  QFile file(fileName);
  FuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
            "the input can be written to a file");
}

QByteArray ReadFuzzFile(const QString& fileName) {
  QFile file(fileName);
  FuzzCheck(file.open(QIODevice::ReadOnly), "a file of the run can be read");
  return file.readAll();
}

bool TerminalWouldAct(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) || code == 0x200E ||
         code == 0x200F || code == 0x061C;
}
