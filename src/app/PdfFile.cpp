#include "app/PdfFile.h"

#include "text/SafeWrite.h"

#include <QPrinter>

PdfFile::PdfFile()
{
    buffer_.open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(&buffer_);
}

bool PdfFile::save(const QString &path, QString *error)
{
    writer_.reset();   // the document's trailer is written by now
    if (buffer_.data().isEmpty()) {
        if (error)
            *error = QStringLiteral("документ порожній");
        return false;
    }
    return text::writeFileAtomically(path, buffer_.data(), error);
}

std::optional<bool> printToChosenFile(QPrinter &printer, const std::function<bool(QPagedPaintDevice &)> &draw,
                                      QString *error)
{
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return std::nullopt;
    PdfFile pdf;
    pdf.writer().setResolution(printer.resolution());
    pdf.writer().setPageLayout(printer.pageLayout());
    pdf.writer().setTitle(printer.docName());
    pdf.writer().setCreator(printer.creator());
    if (!draw(pdf.writer())) {
        if (error)
            *error = QStringLiteral("документ не надруковано");
        return false;
    }
    return pdf.save(printer.outputFileName(), error);
}
