#include "app/ui/ExportFiles.h"

#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"
#include "app/ui/PrintPage.h"
#include "app/ui/ViewServices.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/ReplaceFile.h"
#include "soundfile/SettingsStore.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QSvgGenerator>
#include <QTemporaryDir>

namespace {

QString LastFolder(ViewServices& services) {
    const std::string folder = services.Store().GetString(kExportSection, kExportFolderKey, "");
    return folder.empty() ? QDir::currentPath() : QString::fromStdString(folder);
}

void RememberFolder(ViewServices& services, const QString& path) {
    services.Store().SetString(kExportSection, kExportFolderKey,
                               QFileInfo(path).absolutePath().toStdString());
}

QString AskPath(QWidget* parent, ViewServices& services, const QString& title,
                const QString& filters, const QString& suffix) {
    QFileDialog dialog(parent, title, LastFolder(services), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

// path with suffix added when its extension is none of known.
QString WithSuffix(const QString& path, const QStringList& known, const QString& suffix) {
    const QString extension = QFileInfo(path).suffix().toLower();
    return known.contains(extension) ? path : path + "." + suffix;
}

void Complain(ViewServices& services, const std::string& problem) {
    services.Desktop().ShowMessage(problem, MessageIcon::Stop);
}

bool WriteBytes(const QByteArray& bytes, const QString& path, const std::string& keep,
                ViewServices& services) {
    std::string problem;
    if (ReplaceFileContents(path.toStdString(), bytes.constData(), size_t(bytes.size()), problem,
                            keep))
        return true;
    Complain(services, problem);
    return false;
}

QWidget* WindowOf(CBaseScrollView& view) {
    if (CBaseFrm* frame = CBaseFrm::Of(&view))
        return frame;
    return &view;
}

// The view's printed page as an SVG drawing the size of its window: the
// title, framed axes and curves as vector paths, a sonagram as an embedded
// image. problem says why not.
bool SvgOf(CBaseScrollView& view, QByteArray& svg, std::string& problem) {
    const QWidget* window = WindowOf(view);
    const int width = window->width();
    const int height = window->height();
    const int dpi = window->logicalDpiX();
    const std::optional<PlotRect> plot = view.PrintedPlot(width, height, dpi);
    if (!plot || !PlotFitsPage(*plot, width, height, dpi)) {
        problem = PrintOutcomeText(plot ? PrintOutcome::PageTooSmall : PrintOutcome::NothingToPrint)
                      .toStdString();
        return false;
    }
    QBuffer buffer(&svg);
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setResolution(dpi);
    if (const CBaseFrm* frame = CBaseFrm::Of(&view))
        generator.setTitle(frame->windowTitle());
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    view.PrintPage(painter, *plot, dpi);
    return painter.end();
}

// The printed page of the view as a PDF file's bytes; problem says why not.
bool PdfOf(CBaseScrollView& view, QByteArray& pdf, std::string& problem) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        problem = "No temporary folder for the PDF page can be made.";
        return false;
    }
    const QString file = scratch.filePath("page.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    const PrintOutcome outcome = PrintView(view, printer);
    if (outcome != PrintOutcome::Printed) {
        problem = PrintOutcomeText(outcome).toStdString();
        return false;
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        problem = "The PDF page cannot be read back.";
        return false;
    }
    pdf = in.readAll();
    return true;
}

} // namespace

bool WriteTableFile(const DataTable& table, const QString& chosen, ViewServices& services) {
    if (table.rows.empty()) {
        services.Desktop().ShowMessage("This window has no numbers to export yet.",
                                       MessageIcon::Information);
        return false;
    }
    const QString path = WithSuffix(chosen, {"csv", "tsv", "txt"}, "csv");
    const auto format = TableFormatOfPath(path.toStdString());
    const std::string text = TableText(table, format.value_or(TableFormat::Csv));
    if (!WriteBytes(QByteArray(text.data(), qsizetype(text.size())), path, table.file, services))
        return false;
    RememberFolder(services, path);
    return true;
}

bool ExportTable(const DataTable& table, QWidget* parent, ViewServices& services) {
    const QString path =
        AskPath(parent, services, "Export Data",
                "Comma-separated values (*.csv);;Tab-separated values (*.tsv *.txt)", "csv");
    return !path.isEmpty() && WriteTableFile(table, path, services);
}

bool WriteViewData(CBaseScrollView& view, const QString& path, ViewServices& services) {
    return WriteTableFile(view.ExportTable(), path, services);
}

bool ExportViewData(CBaseScrollView& view, ViewServices& services) {
    return ExportTable(view.ExportTable(), WindowOf(view), services);
}

bool WriteViewImage(CBaseScrollView& view, const QString& chosen, ViewServices& services) {
    QWidget* window = WindowOf(view);
    const QString path = WithSuffix(chosen, {"png", "svg", "pdf", "bmp"}, "png");
    const QString extension = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    std::string problem = path.toStdString() + " cannot be made.";
    bool made = false;
    if (extension == "svg") {
        made = SvgOf(view, bytes, problem);
    } else if (extension == "pdf") {
        made = PdfOf(view, bytes, problem);
    } else {
        // grab() renders at the screen's pixel ratio: a HiDPI screen gives
        // the sharp picture the user sees.
        QBuffer buffer(&bytes);
        made = buffer.open(QIODevice::WriteOnly) &&
               window->grab().toImage().save(&buffer, extension == "bmp" ? "BMP" : "PNG");
    }
    if (!made) {
        Complain(services, problem);
        return false;
    }
    if (!WriteBytes(bytes, path, view.SoundFilePath(), services))
        return false;
    RememberFolder(services, path);
    return true;
}

bool ExportViewImage(CBaseScrollView& view, ViewServices& services) {
    const QString path = AskPath(WindowOf(view), services, "Export Image",
                                 "PNG image (*.png);;SVG drawing (*.svg);;PDF page (*.pdf);;"
                                 "BMP image (*.bmp)",
                                 "png");
    return !path.isEmpty() && WriteViewImage(view, path, services);
}
