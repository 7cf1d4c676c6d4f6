#pragma once

#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Printers.h"
#include "print/device/QV_PageFiles.h"
#include "print/device/QV_Units.h"
#include "print/engine/DBPrnWin.h"
#include "print/engine/PrnWin.h"
#include "tests/platform/PrinterTestSupport.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QMessageBox>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

// Engine tests print to the PDF destination at a known resolution and read the file back.

/** A borderless panel of one colour. */
inline TPanel* SolidPanel(QWidget* parent, const QRect& bounds, TColor color) {
  auto* panel = new TPanel(parent);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(color);
  panel->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  return panel;
}

/** Answers every message box with OK and keeps its text. */
class MessageRecorder {
public:
  MessageRecorder()
      : scope_([this](QWidget& window) {
          if (auto* box = qobject_cast<QMessageBox*>(&window)) {
            texts_.append(box->text());
            box->accept();
          }
        }) {}
  const QStringList& Texts() const { return texts_; }

private:
  QStringList texts_;
  ModalObserverScope scope_;
};

/** The page files of the printer target left in the page folder. */
inline QStringList PageFilesLeft() {
  return QDir(PageDirectory()).entryList({QStringLiteral("PRN*.EMF")}, QDir::Files);
}

/** A renderer that reports content left over until its last pass, as a data grid does. */
class PassesWin : public TPrintWin {
public:
  void PrintControlAt(QWidget* control, double left, double top) override {
    TPrintWin::PrintControlAt(control, left, top);
    if (PagePass < Passes) PageComplete = false;
  }
  int Passes = 1;
};

class PrintJobTest : public ::testing::Test {
protected:
  static constexpr int Dpi = 300;

  void SetUp() override {
    Printer().RefreshPrinters();
    UseTestPrinter({TPrinter::PdfPrinterName()}, 0, Dpi, PdfFile());
    win_ = std::make_unique<PassesWin>();
    win_->OutputTo = poPrinter;
    win_->ShowCancelDialog = false;
  }
  void TearDown() override {
    win_.reset();
    Printer().Abort();
    Printer().RefreshPrinters();
    DeletePageFiles(poPrinter);
  }

  QString PdfFile() const { return scratch_.File(QStringLiteral("job.pdf")); }
  /** A panel on a window that is never shown, as the controls of a report form are. */
  TPanel* Panel(const QRect& bounds, TColor color) { return SolidPanel(&host_, bounds, color); }
  /** A job of that many pages, each with a black square at (2, 2) inches. */
  void PrintPages(int passes) {
    win_->Passes = passes;
    win_->StartJob();
    win_->PrintControlPages(Panel(QRect(0, 0, 48, 48), clBlack), 2.0, 2.0);
    win_->FinishJob();
  }
  /** Printer pixels of the PDF as points of the page. */
  static double Points(double pixels) { return pixels * 72.0 / Dpi; }

  ScratchDirectory scratch_;
  QWidget host_;
  std::unique_ptr<PassesWin> win_;
};

/** The control-by-control renderer printing into the test's PDF. */
class RendererJobTest : public PrintJobTest {
protected:
  void SetUp() override {
    PrintJobTest::SetUp();
    renderer_.OutputTo = poPrinter;
    renderer_.ShowCancelDialog = false;
  }
  /** Prints the control at (1, 1) inch and returns the page 2 inches square from there. */
  QImage Print(QWidget* control, const std::function<void()>& before = {}) {
    renderer_.StartJob();
    if (before) before();
    renderer_.PrintControlAt(control, 1.0, 1.0);
    renderer_.FinishJob();
    return PdfReader(PdfFile()).Render(0, Dpi, QRect(Dpi, Dpi, 2 * Dpi, 2 * Dpi));
  }
  /** Prints the control from half an inch, page after page while it has content left. */
  void PrintControlPages(QWidget* control) {
    renderer_.StartJob();
    renderer_.PrintControlPages(control, 0.5, 0.5);
    renderer_.FinishJob();
  }

  TDBPrintWin renderer_;
};
