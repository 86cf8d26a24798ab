#include "report/PdfFile.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "report/ReportPainter.h"

namespace report {

namespace {

// Why `file` cannot be written, in the user's words.
std::string reason(const std::filesystem::path& file) {
    std::error_code ec;
    const auto folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, ec)) return "la cartella " + folder.string() + " non esiste";
    if (std::filesystem::is_directory(file, ec)) return "il percorso indica una cartella";
    if (::access(folder.c_str(), W_OK) != 0) return "non si hanno i permessi di scrittura nella cartella " + folder.string();
    return "scrittura non riuscita";
}

[[noreturn]] void cannotWrite(const std::filesystem::path& file) {
    throw ReportError("Impossibile scrivere il file " + file.string() + ": " + reason(file) + ".");
}

}  // namespace

void ensureGuiApplication() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (QCoreApplication::instance()) throw ReportError("La stampa richiede un'applicazione grafica Qt.");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "brevanto";
    static char* argv[] = {name, nullptr};
    // A program without a desktop session has no runtime folder; Qt's note about it is no
    // news to the user of a command-line tool.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (!text.startsWith(QLatin1String("QStandardPaths:")) && previous) previous(type, context, text);
    });
    // Deliberately never destroyed: it must outlive every painter of the process.
    new QGuiApplication(argc, argv);
    qInstallMessageHandler(previous);
}

int writePdf(const ReportContent& content, const std::filesystem::path& file) {
    ensureGuiApplication();
    if (file.empty()) throw ReportError("Indicare il file PDF da scrivere.");
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) cannotWrite(file);
    QSaveFile out(QString::fromStdString(file.string()));
    if (!out.open(QIODevice::WriteOnly)) cannotWrite(file);
    int pages = 0;
    {
        QPdfWriter writer(&out);
        setUpPage(writer);
        writer.setResolution(600);
        writer.setTitle(QString::fromUtf8(content.title.c_str()));
        writer.setCreator(QStringLiteral("Brevanto"));
        QPainter painter;
        if (!painter.begin(&writer)) cannotWrite(file);
        pages = ReportPainter(content).paint(painter, writer);
        painter.end();
    }
    if (!out.commit()) cannotWrite(file);
    return pages;
}

}  // namespace report
