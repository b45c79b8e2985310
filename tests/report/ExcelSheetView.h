// Test helper: reads the worksheet and shared strings a TExcelFileCreator built, cell by cell.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "ExportToExcelUnit.h"

namespace lexmora::testing_excel {

struct TRun {
  std::string Colour;  // empty for an unchanged run
  std::string Text;
  bool operator==(const TRun&) const = default;
};

struct TCell {
  int Style = -1;
  int StringIndex = -1;    // -1 for an empty cell and a number
  bool IsNumber = false;   // a number cell: its value is the one run
  std::vector<TRun> Runs;  // a plain item is one run without colour
  std::string Text() const {
    std::string T;
    for (const auto& R : Runs) T += R.Text;
    return T;
  }
};

struct TSheetView {
  std::map<std::string, TCell> Cells;
  std::vector<int> Rows;                  // row numbers in sheet order
  std::map<int, std::string> RowHeights;  // "ht" attribute of rows that have one
  std::vector<std::string> Merges;
  std::string Dimension;
  int SharedCount = -1, SharedUnique = -1, SharedItems = 0;

  explicit TSheetView(const TExcelFileCreator& AWriter) {
    const std::string Sheet = AWriter.BuildSheet1();
    const std::string Strings = AWriter.BuildSharedStrings();
    pugi::xml_document SheetDoc, StringsDoc;
    EXPECT_TRUE(SheetDoc.load_buffer(Sheet.data(), Sheet.size()));
    EXPECT_TRUE(StringsDoc.load_buffer(Strings.data(), Strings.size()));
    std::vector<std::vector<TRun>> Items;
    const auto Sst = StringsDoc.child("sst");
    SharedCount = Sst.attribute("count").as_int(-1);
    SharedUnique = Sst.attribute("uniqueCount").as_int(-1);
    for (const auto Si : Sst.children("si")) {
      std::vector<TRun> Runs;
      if (const auto T = Si.child("t")) Runs.push_back({"", T.text().get()});
      for (const auto R : Si.children("r"))
        Runs.push_back({R.child("rPr").child("color").attribute("rgb").value(), R.child("t").text().get()});
      Items.push_back(Runs);
    }
    SharedItems = static_cast<int>(Items.size());
    const auto Ws = SheetDoc.child("worksheet");
    Dimension = Ws.child("dimension").attribute("ref").value();
    for (const auto Row : Ws.child("sheetData").children("row")) {
      Rows.push_back(Row.attribute("r").as_int());
      if (Row.attribute("ht")) RowHeights[Row.attribute("r").as_int()] = Row.attribute("ht").value();
      for (const auto C : Row.children("c")) {
        TCell Cell;
        Cell.Style = C.attribute("s").as_int(-1);
        if (C.child("v") && std::string_view(C.attribute("t").value()) != "s") {
          Cell.IsNumber = true;
          Cell.Runs.push_back({"", C.child("v").text().get()});
        } else if (C.child("v")) {
          Cell.StringIndex = C.child("v").text().as_int(-1);
          if (Cell.StringIndex >= 0 && Cell.StringIndex < SharedItems) Cell.Runs = Items[Cell.StringIndex];
        }
        Cells[C.attribute("r").value()] = Cell;
      }
    }
    for (const auto M : Ws.child("mergeCells").children("mergeCell")) Merges.push_back(M.attribute("ref").value());
  }

  const TCell& At(const std::string& ARef) const {
    static const TCell kMissing;
    const auto It = Cells.find(ARef);
    return It == Cells.end() ? kMissing : It->second;
  }
};

}  // namespace lexmora::testing_excel
