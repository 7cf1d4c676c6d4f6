#include "platform/PagePicture.h"
#include "platform/SysUtils.h"
#include "tests/platform/PixelTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A page as the page device records one, in printer pixels: a box, a one-pixel rule and a line of text.
class PagePictureTest : public ::testing::Test {
protected:
  void SetUp() override {
    QPainter& painter = page_.BeginRecording();
    painter.fillRect(QRect(100, 100, 100, 50), Qt::black);
    painter.fillRect(QRect(100, 300, 400, 1), Qt::black);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(60);
    painter.setFont(font);
    painter.drawText(QPointF(100, 450), QStringLiteral("Page"));
    page_.EndRecording();
  }

  static QImage PlayOnto(const PagePicture& page, int dotsPerInch) {
    QImage image = WhiteImage(600, 600);
    image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
    image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    QPainter painter(&image);
    page.Play(painter);
    return image;
  }

  QByteArray Saved() {
    page_.Save(scratch_.File(QStringLiteral("PRN001.EMF")));
    QFile file(scratch_.File(QStringLiteral("PRN001.EMF")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  /** Whether a file of these bytes loads; a refused one must leave the picture empty. */
  bool Loads(const QByteArray& content) {
    const QString fileName = scratch_.File(QStringLiteral("candidate.EMF"));
    QFile file(fileName);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
    file.close();
    PagePicture loaded;
    QString error;
    const bool ok = loaded.Load(fileName, &error);
    EXPECT_EQ(ok, error.isEmpty());
    EXPECT_EQ(ok, !loaded.IsEmpty());
    return ok;
  }

  ScratchDirectory scratch_;
  PagePicture page_;
};

TEST_F(PagePictureTest, SavedPagesReplayPixelForPixelAtAnyDeviceResolutionAndScaledIntoARectangle) {
  Saved();
  PagePicture loaded;
  ASSERT_TRUE(loaded.Load(scratch_.File(QStringLiteral("PRN001.EMF"))));
  const QImage atPrinter = PlayOnto(loaded, 600);
  EXPECT_EQ(InkBounds(atPrinter, QRect(0, 0, 600, 200)), QRect(100, 100, 100, 50));
  EXPECT_EQ(InkRows(atPrinter, 250, 200, 400), std::vector<int>{300});
  const QRect text = InkBounds(atPrinter, QRect(0, 350, 600, 250));
  EXPECT_GT(text.height(), 40) << "a 60-pixel font keeps its size on a 600-dpi device";
  EXPECT_LT(text.height(), 60);
  EXPECT_EQ(PlayOnto(loaded, 96), atPrinter);

  QImage preview = WhiteImage(300, 300);
  {
    QPainter painter(&preview);
    loaded.PlayInto(painter, QRectF(10, 20, 100, 150), QSizeF(1000, 1500));
  }
  EXPECT_EQ(InkBounds(preview, QRect(0, 0, 300, 40)), QRect(20, 30, 10, 5));
}

TEST_F(PagePictureTest, SaveReplacesAFileAndReportsOneThatCannotBeCreated) {
  const QByteArray first = Saved();
  EXPECT_TRUE(Loads(first));
  const QString unwritable = scratch_.File(QStringLiteral("missing-folder/PRN001.EMF"));
  try {
    page_.Save(unwritable);
    FAIL() << "saving into a missing folder must fail";
  } catch (const Exception& error) {
    EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Cannot create file \"") + unwritable + "\"."))
        << error.what();
  }
  PagePicture missing;
  EXPECT_FALSE(missing.Load(scratch_.File(QStringLiteral("PRN999.EMF"))));
}

// Only a page this run saved plays: whatever else stands under a page file's name, cut off, lengthened,
// changed anywhere or of the old picture format, is refused.
TEST_F(PagePictureTest, DamagedTruncatedAndForeignFilesAreRefused) {
  const QByteArray data = Saved();
  ASSERT_TRUE(data.startsWith("QNRYPAGE"));
  EXPECT_TRUE(Loads(data));
  EXPECT_FALSE(Loads(QByteArray()));
  EXPECT_FALSE(Loads("<html>not a page</html>"));
  EXPECT_FALSE(Loads(data.left(data.size() / 2)));
  EXPECT_FALSE(Loads(data.left(data.size() - 1)));
  EXPECT_FALSE(Loads(data + "x"));
  QByteArray pictureFormat = data;
  pictureFormat[8] = 1;
  EXPECT_FALSE(Loads(pictureFormat)) << "a page recorded as a picture";
  for (qsizetype position = 0; position < data.size(); position += 7) {
    QByteArray damaged = data;
    damaged[position] = static_cast<char>(damaged[position] ^ 0x7F);
    EXPECT_FALSE(Loads(damaged)) << "byte " << position;
  }
}

// Whatever stands under a page file's name, a page is written into a new file of the owner's alone, and
// nothing is ever written through a link.
TEST_F(PagePictureTest, SaveMakesANewPrivateFileAndNeverWritesThroughALink) {
  const QString victim = scratch_.File(QStringLiteral("victim.txt"));
  {
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("precious");
  }
  const QString name = scratch_.File(QStringLiteral("PRN001.EMF"));
  ASSERT_TRUE(QFile::link(victim, name));
  const mode_t mask = ::umask(0);  // the mode is the page's own, whatever the process's mask
  page_.Save(name);
  ::umask(mask);
  QFile file(victim);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("precious"));
  const QFileInfo saved(name);
  EXPECT_FALSE(saved.isSymLink());
  EXPECT_TRUE(saved.isFile());
  struct stat status {};
  ASSERT_EQ(::lstat(QFile::encodeName(name).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  PagePicture loaded;
  EXPECT_TRUE(loaded.Load(name));
}

// A page file is read only when it is a plain file no larger than a page can be, and then no further than
// that: a pipe would wait for ever, /dev/zero never ends and a huge file would take all memory.
TEST_F(PagePictureTest, LoadRefusesWhatIsNoPlainFileOrLargerThanAPageWithAClearReason) {
  const QString name = scratch_.File(QStringLiteral("PRN002.EMF"));
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"a pipe", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(name).constData(), 0600), 0); },
       "not a plain file"},
      {"a link to /dev/zero", [&] { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), name)); },
       "not a plain file"},
      {"a folder", [&] { ASSERT_TRUE(QDir().mkdir(name)); }, "not a plain file"},
      {"a file of 1 GiB",
       [&] {
         QFile file(name);
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         ASSERT_TRUE(file.resize(qint64(1) << 30));  // sparse: no disk space is used
       },
       "larger than 64 MiB"},
      {"a file one byte over the limit",
       [&] {
         QFile file(name);
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         ASSERT_TRUE(file.resize(PagePicture::MaximumFileSize + 1));
       },
       "larger than 64 MiB"},
  };
  for (const Case& refused : cases) {
    SCOPED_TRACE(refused.what);
    refused.make();
    PagePicture loaded;
    QString error;
    EXPECT_FALSE(loaded.Load(name, &error));
    EXPECT_TRUE(loaded.IsEmpty());
    EXPECT_EQ(error, QStringLiteral("\"%1\" is not a page file: it is %2.").arg(name, refused.reason));
    if (QFileInfo(name).isDir() && !QFileInfo(name).isSymLink())
      QDir().rmdir(name);
    else
      QFile::remove(name);
  }
  PagePicture missing;
  QString error;
  EXPECT_FALSE(missing.Load(name, &error));
  EXPECT_EQ(error, QStringLiteral("\"%1\" does not exist.").arg(name));
}

}  // namespace
