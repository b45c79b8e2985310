// The fixed parts of the XLSX package: encoding, line ends, well-formedness and their values.
#include <gtest/gtest.h>

#include <functional>
#include <pugixml.hpp>

#include "ExcelPackagePartsUnit.h"

namespace lexmora {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

struct TPartCase {
  const char* Name;
  std::function<std::string()> Build;
  const char* Root;
};

class ExcelPart : public ::testing::TestWithParam<TPartCase> {};

TEST_P(ExcelPart, Utf8BomCrLfAndWellFormed) {
  const std::string Part = GetParam().Build();
  ASSERT_EQ(Part.substr(0, 3), kBom);
  ASSERT_GE(Part.size(), 5u);
  EXPECT_EQ(Part.substr(Part.size() - 2), "\r\n");
  for (std::size_t I = 0; I < Part.size(); ++I) {
    if (Part[I] == '\n') {
      ASSERT_TRUE(I > 0 && Part[I - 1] == '\r') << "bare LF at " << I;
    }
    if (Part[I] == '\r') {
      ASSERT_TRUE(I + 1 < Part.size() && Part[I + 1] == '\n') << "bare CR at " << I;
    }
  }
  EXPECT_EQ(Part.substr(3, 57), R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                                "\r\n");
  pugi::xml_document Doc;
  const auto Parsed = Doc.load_buffer(Part.data(), Part.size());
  ASSERT_TRUE(Parsed) << Parsed.description();
  EXPECT_STREQ(Doc.document_element().name(), GetParam().Root);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, ExcelPart,
    ::testing::Values(
        TPartCase{"Rels", BuildRelsPart, "Relationships"},
        TPartCase{"AppEn", [] { return BuildAppPart(TLocalizationLanguare::llEN, false); }, "Properties"},
        TPartCase{"AppRu", [] { return BuildAppPart(TLocalizationLanguare::llRU, false); }, "Properties"},
        TPartCase{"Core", [] { return BuildCorePart(0); }, "cp:coreProperties"},
        TPartCase{"WorkbookRels", [] { return BuildWorkbookRelsPart(false); }, "Relationships"},
        TPartCase{"Styles", BuildStylesPart, "styleSheet"},
        TPartCase{"Workbook", [] { return BuildWorkbookPart(TLocalizationLanguare::llRU, false); }, "workbook"},
        TPartCase{"ContentTypes", [] { return BuildContentTypesPart(false); }, "Types"},
        TPartCase{"Drawing", BuildDrawingPart, "xdr:wsDr"},
        TPartCase{"DrawingRels", BuildDrawingRelsPart, "Relationships"},
        TPartCase{"SheetRels", BuildSheetRelsPart, "Relationships"},
        TPartCase{"EmptySheet", [] { return BuildSheet1Part(TLineList(), TLineList(), TLineList(), 9); }, "worksheet"},
        TPartCase{"EmptySharedStrings", [] { return BuildSharedStringsPart(TLineList(), 0); }, "sst"}),
    [](const ::testing::TestParamInfo<TPartCase>& AInfo) { return std::string(AInfo.param.Name); });

pugi::xml_document Parse(const std::string& APart) {
  pugi::xml_document Doc;
  Doc.load_buffer(APart.data(), APart.size());
  return Doc;
}

TEST(ExcelParts, SheetsAreNamedInTheInterfaceLanguage) {
  const struct {
    TLocalizationLanguare Lang;
    const char* Heading;
    const char* Sheet;
  } kRows[] = {{TLocalizationLanguare::llEN, "Sheets", "Sheet1"},
               {TLocalizationLanguare::llRU, "\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82\xD1\x8B",
                "\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82"
                "1"}};
  for (const auto& Row : kRows) {
    const auto App = Parse(BuildAppPart(Row.Lang, false));
    const auto Heading = App.select_node("/Properties/HeadingPairs/vt:vector/vt:variant/vt:lpstr").node();
    EXPECT_STREQ(Heading.text().get(), Row.Heading);
    EXPECT_STREQ(App.select_node("/Properties/TitlesOfParts/vt:vector/vt:lpstr").node().text().get(), Row.Sheet);
    const auto Book = Parse(BuildWorkbookPart(Row.Lang, false));
    EXPECT_STREQ(Book.select_node("/workbook/sheets/sheet").node().attribute("name").value(), Row.Sheet);
  }
}

TEST(ExcelParts, CoreCarriesOneUtcStampTwice) {
  const std::string Core = BuildCorePart(1714571107);  // 2024-05-01 13:45:07 UTC
  EXPECT_NE(Core.find("  <dcterms:created xsi:type=\"dcterms:W3CDTF\">2024-05-01T13:45:07Z</dcterms:created>\r\n"),
            std::string::npos);
  EXPECT_NE(Core.find("  <dcterms:modified xsi:type=\"dcterms:W3CDTF\">2024-05-01T13:45:07Z</dcterms:modified>\r\n"),
            std::string::npos);
}

TEST(ExcelParts, RelsListedExactly) {
  EXPECT_EQ(BuildSheetRelsPart(),
            kBom +
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">\r\n"
                "  <Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                "relationships/drawing\" Target=\"../drawings/drawing1.xml\"/>\r\n"
                "</Relationships>\r\n");
  const auto Drawing = Parse(BuildDrawingRelsPart());
  const auto Link =
      Drawing.find_node([](pugi::xml_node N) { return std::string(N.attribute("Id").value()) == "rId1"; });
  EXPECT_STREQ(Link.attribute("TargetMode").value(), "External");
  EXPECT_STREQ(Link.attribute("Target").value(), kMakerSiteUrl);
}

// The cell styles as the worksheet uses them: font, fill, border, fill applied, alignment.
TEST(ExcelParts, StylesMatchTheirTable) {
  const auto Doc = Parse(BuildStylesPart());
  const auto Sheet = Doc.child("styleSheet");
  const struct {
    int Font, Fill, Border;
    bool FillApplied;
    const char* Horizontal;
  } kStyles[] = {{0, 0, 1, false, ""},      {0, 0, 1, false, "center"}, {1, 2, 1, true, "center"},
                 {2, 3, 1, true, "center"}, {2, 3, 1, true, ""},        {3, 0, 1, false, ""},
                 {4, 0, 0, false, "right"}, {3, 0, 0, false, ""},       {0, 4, 1, false, "center"},
                 {0, 4, 1, false, ""}};
  const auto Xfs = Sheet.child("cellXfs");
  EXPECT_EQ(Xfs.attribute("count").as_int(), 11);
  std::vector<pugi::xml_node> Styles(Xfs.children("xf").begin(), Xfs.children("xf").end());
  ASSERT_EQ(Styles.size(), 11u);
  EXPECT_FALSE(Styles[0].first_child());
  for (int I = 1; I <= 10; ++I) {
    SCOPED_TRACE("style " + std::to_string(I));
    const auto& Want = kStyles[I - 1];
    EXPECT_EQ(Styles[I].attribute("fontId").as_int(), Want.Font);
    EXPECT_EQ(Styles[I].attribute("fillId").as_int(), Want.Fill);
    EXPECT_EQ(Styles[I].attribute("borderId").as_int(), Want.Border);
    EXPECT_EQ(Styles[I].attribute("applyFill").as_bool(), Want.FillApplied);
    EXPECT_STREQ(Styles[I].child("alignment").attribute("horizontal").value(), Want.Horizontal);
    EXPECT_STREQ(Styles[I].child("alignment").attribute("vertical").value(), "top");
    // A font that is not applied is taken from the default style by some readers.
    EXPECT_TRUE(Styles[I].attribute("applyFont").as_bool());
  }
  // The default style points at the first cell style, so the sheet's font is the default.
  const auto Normal = Sheet.child("cellStyles").child("cellStyle");
  EXPECT_EQ(Sheet.child("cellStyles").attribute("count").as_int(), 1);
  EXPECT_EQ(Normal.attribute("xfId").as_int(-1), 0);
  EXPECT_EQ(Normal.attribute("builtinId").as_int(-1), 0);
  const char* kFontColours[] = {"FF000000", "FF999999", "FF000000", "FF999999", "FF666666"};
  const bool kBold[] = {false, true, true, false, false};
  int F = 0;
  for (const auto Font : Sheet.child("fonts").children("font")) {
    ASSERT_LT(F, 5);
    EXPECT_STREQ(Font.child("color").attribute("rgb").value(), kFontColours[F]);
    EXPECT_EQ(static_cast<bool>(Font.child("b")), kBold[F]);
    EXPECT_EQ(Font.child("sz").attribute("val").as_int(), 14);
    EXPECT_STREQ(Font.child("name").attribute("val").value(), "Arial");
    EXPECT_EQ(Font.child("family").attribute("val").as_int(), 2);
    EXPECT_EQ(Font.child("charset").attribute("val").as_int(), 204);
    ++F;
  }
  EXPECT_EQ(F, 5);
  const char* kFillColours[] = {"", "", "FFF3F3F3", "FFD3D3D3", "FFFFF0F0"};
  int Fill = 0;
  for (const auto Node : Sheet.child("fills").children("fill"))
    EXPECT_STREQ(Node.child("patternFill").child("fgColor").attribute("rgb").value(), kFillColours[Fill++]);
  EXPECT_EQ(Fill, 5);
}

TEST(ExcelParts, DrawingAnchorsTheLogoAtG1) {
  const auto Doc = Parse(BuildDrawingPart());
  const auto Anchor = Doc.child("xdr:wsDr").child("xdr:twoCellAnchor");
  EXPECT_STREQ(Anchor.child("xdr:from").child("xdr:col").text().get(), "6");
  EXPECT_STREQ(Anchor.child("xdr:from").child("xdr:row").text().get(), "0");
  const auto Pic = Anchor.child("xdr:pic");
  EXPECT_STREQ(Pic.child("xdr:nvPicPr").child("xdr:cNvPr").attribute("name").value(),
               "\xD0\xA0\xD0\xB8\xD1\x81\xD1\x83\xD0\xBD\xD0\xBE\xD0\xBA 1");
  const auto Ext = Pic.child("xdr:spPr").child("a:xfrm").child("a:ext");
  EXPECT_EQ(Ext.attribute("cx").as_llong(), 150 * 9525);
  EXPECT_EQ(Ext.attribute("cy").as_llong(), 39 * 9525);
}

TEST(ExcelParts, SheetWithoutMergesHasNoMergeList) {
  TLineList Totals, Merges;
  Totals.Add("    <row r=\"1\">");
  Totals.Add("    </row>");
  const std::string Sheet = BuildSheet1Part(Totals, TLineList(), TLineList(), 9);
  EXPECT_EQ(Sheet.find("mergeCells"), std::string::npos);
  EXPECT_NE(Sheet.find("  <dimension ref=\"A1:G9\"/>\r\n"), std::string::npos);
  // Totals, an empty line, and a single empty line for the empty row list.
  EXPECT_NE(Sheet.find("  <sheetData>\r\n    <row r=\"1\">\r\n    </row>\r\n\r\n\r\n  </sheetData>\r\n"),
            std::string::npos);
  Merges.Add("    <mergeCell ref=\"A1:C1\"/>");
  const std::string Merged = BuildSheet1Part(TLineList(), TLineList(), Merges, 9);
  EXPECT_NE(Merged.find("  <mergeCells count=\"1\">\r\n    <mergeCell ref=\"A1:C1\"/>\r\n  </mergeCells>\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace lexmora
