// The widths and heights a grid stores with its form.

#include "TCustomGrid.h"

#include "core/TFiler.h"
#include "core/TReader.h"
#include "core/TWriter.h"

namespace velbrin {

namespace {

void WriteExtents(TWriter& writer, std::int32_t count,
                  std::int32_t (TCustomGrid::*extent)(std::int32_t) const,
                  const TCustomGrid& grid) {
    writer.WriteListBegin();
    for (std::int32_t i = 0; i < count; ++i) {
        writer.WriteInteger((grid.*extent)(i));
    }
    writer.WriteListEnd();
}

} // namespace

void TCustomGrid::DeclareStoredData(TFiler* filer) {
    TCustomControl::DeclareStoredData(filer);
    const TPersistent* ancestor = filer->Ancestor();
    const auto* ancestorGrid = ancestor != nullptr && ancestor->Is<TCustomGrid>()
                                   ? static_cast<const TCustomGrid*>(ancestor)
                                   : nullptr;
    const bool widthsDiffer =
        ancestorGrid != nullptr ? colWidths_ != ancestorGrid->colWidths_ : colWidths_.has_value();
    const bool heightsDiffer = ancestorGrid != nullptr ? rowHeights_ != ancestorGrid->rowHeights_
                                                       : rowHeights_.has_value();
    filer->DeclareStoredValue(
        "ColWidths", [this](TReader& reader) { ReadColWidths(reader); },
        [this](TWriter& writer) { WriteColWidths(writer); }, widthsDiffer);
    filer->DeclareStoredValue(
        "RowHeights", [this](TReader& reader) { ReadRowHeights(reader); },
        [this](TWriter& writer) { WriteRowHeights(writer); }, heightsDiffer);
}

// A list of another length than the count ends in the reader's invalid
// value error: a missing integer where the list ends, or the end missing.
void TCustomGrid::ReadColWidths(TReader& reader) {
    reader.ReadListBegin();
    for (std::int32_t i = 0; i < colCount_; ++i) {
        SetColWidths(i, reader.ReadInteger());
    }
    reader.ReadListEnd();
}

void TCustomGrid::ReadRowHeights(TReader& reader) {
    reader.ReadListBegin();
    for (std::int32_t i = 0; i < rowCount_; ++i) {
        SetRowHeights(i, reader.ReadInteger());
    }
    reader.ReadListEnd();
}

void TCustomGrid::WriteColWidths(TWriter& writer) const {
    WriteExtents(writer, colCount_, &TCustomGrid::ColWidths, *this);
}

void TCustomGrid::WriteRowHeights(TWriter& writer) const {
    WriteExtents(writer, rowCount_, &TCustomGrid::RowHeights, *this);
}

} // namespace velbrin
