#pragma once
// A PDF document drawn in memory and written as a file only when it is whole, through
// text::writeFileAtomically: a failed or cut-short write leaves an earlier file as it was.
// (A QPdfWriter or QPrinter given a file name truncates that file before the first page and
// reports no write error.)
//
//   PdfFile pdf;
//   pdf.writer().setPageSize(QPageSize(QPageSize::A4));
//   const bool ok = draw(pdf.writer()) && pdf.save(path, &error);
#include <QBuffer>
#include <QPdfWriter>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPrinter;

class PdfFile {
public:
    PdfFile();
    QPdfWriter &writer() { return *writer_; }
    // The document drawn so far (its painter ended) as the file `path`; false and why when the
    // document is empty or the file could not be written.
    bool save(const QString &path, QString *error = nullptr);

private:
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
};

// When the operator chose printing to a PDF file in the print dialog, `draw` prints on a
// PdfFile with the printer's page layout and resolution, saved as the chosen file: the result
// is whether that worked. nullopt when `printer` prints on paper (nothing is drawn then).
std::optional<bool> printToChosenFile(QPrinter &printer, const std::function<bool(QPagedPaintDevice &)> &draw,
                                      QString *error = nullptr);
