#include "ExcelPackagePartsUnit.h"

#include <algorithm>
#include <cstdio>

#include "ExcelLayoutUnit.h"
#include "ExcelPageSetupUnit.h"
#include "LocalizationUnit.h"
#include "PlatformUnit.h"

namespace lexmora {

namespace {

const std::string kXmlDecl = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const std::string kOoxml = "http://schemas.openxmlformats.org";
const std::string kMsOffice = "http://schemas.microsoft.com";
const std::string kPurl = "http://purl.org";
const std::string kW3 = "http://www.w3.org";
const std::string kRelTypes = kOoxml + "/officeDocument/2006/relationships";

std::string RelationshipsOpen() { return R"(<Relationships xmlns=")" + kOoxml + R"(/package/2006/relationships">)"; }

std::string Relationship(const std::string& AId, const std::string& AType, const std::string& ATarget,
                         const std::string& AExtra = {}) {
  return R"(  <Relationship Id=")" + AId + R"(" Type=")" + AType + R"(" Target=")" + ATarget + "\"" + AExtra + "/>";
}

struct TFontDef {
  bool Bold;
  const char* Colour;
};
const TFontDef kFonts[] = {
    {false, "FF000000"}, {true, "FF999999"}, {true, "FF000000"}, {false, "FF999999"}, {false, "FF666666"}};
const char* const kSolidFills[] = {"FFF3F3F3", "FFD3D3D3", "FFFFF0F0"};

enum class TAlign { Top, Centre, Right };
struct TCellStyleDef {
  int Font, Fill, Border;
  bool FillApplied;
  TAlign Align;
};
// Styles 1 to 10; the worksheet refers to them by these ids.
const TCellStyleDef kCellStyles[] = {
    {0, 0, 1, false, TAlign::Top},   {0, 0, 1, false, TAlign::Centre}, {1, 2, 1, true, TAlign::Centre},
    {2, 3, 1, true, TAlign::Centre}, {2, 3, 1, true, TAlign::Top},     {3, 0, 1, false, TAlign::Top},
    {4, 0, 0, false, TAlign::Right}, {3, 0, 0, false, TAlign::Top},    {0, 4, 1, false, TAlign::Centre},
    {0, 4, 1, false, TAlign::Top},
};

std::string AlignmentLine(TAlign AAlign) {
  switch (AAlign) {
    case TAlign::Top:
      return R"(      <alignment vertical="top" wrapText="1"/>)";
    case TAlign::Centre:
      return R"(      <alignment horizontal="center" vertical="top" wrapText="1"/>)";
    case TAlign::Right:
      return R"(      <alignment horizontal="right" vertical="top" wrapText="1"/>)";
  }
  return {};
}

// One "<col>" line per run of neighbouring columns of equal width.
std::string ColumnLines() {
  std::string Result;
  int First = 0;
  for (int C = 1; C <= kExcelColumnCount; ++C) {
    if (C < kExcelColumnCount && kExcelColumnWidths[C] == kExcelColumnWidths[First]) continue;
    char Line[96];
    std::snprintf(Line, sizeof Line, "    <col min=\"%d\" max=\"%d\" width=\"%g\" customWidth=\"1\"/>\r\n", First + 1,
                  C, kExcelColumnWidths[First]);
    Result += Line;
    First = C;
  }
  return Result;
}

}  // namespace

void TLineList::NewChunk(std::size_t AAtLeast) {
  FChunks.emplace_back();
  // Small lists (the totals, the merged cells) stay small; the rows' lists take a MiB at a time.
  FChunks.back().reserve(std::max<std::size_t>(AAtLeast, FSize < (1u << 16) ? (1u << 12) : (1u << 20)));
}

std::vector<std::string_view> TLineList::Pieces() const { return {FChunks.begin(), FChunks.end()}; }

void TPartPieces::AddOwn(std::string AText) {
  FOwn.push_back(std::move(AText));
  FPieces.push_back(FOwn.back());
}

void TPartPieces::AddLines(const TLineList& ALines) {
  for (const std::string_view Piece : ALines.Pieces()) FPieces.push_back(Piece);
}

std::string TPartPieces::Joined() const {
  std::size_t Size = 0;
  for (const std::string_view Piece : FPieces) Size += Piece.size();
  std::string Result;
  Result.reserve(Size);
  for (const std::string_view Piece : FPieces) Result += Piece;
  return Result;
}

std::string JoinPartLines(const std::vector<std::string>& ALines) {
  std::size_t Size = 3;
  for (const auto& Line : ALines) Size += Line.size() + 2;
  std::string Result;
  Result.reserve(Size);
  Result = "\xEF\xBB\xBF";
  for (const auto& Line : ALines) {
    Result += Line;
    Result += "\r\n";
  }
  return Result;
}

std::string BuildRelsPart() {
  return JoinPartLines({
      kXmlDecl,
      RelationshipsOpen(),
      Relationship("rId3", kRelTypes + "/extended-properties", "docProps/app.xml"),
      Relationship("rId2", kOoxml + "/package/2006/relationships/metadata/core-properties", "docProps/core.xml"),
      Relationship("rId1", kRelTypes + "/officeDocument", "xl/workbook.xml"),
      "</Relationships>",
  });
}

std::string BuildAppPart(TLocalizationLanguare ALang, bool AWithAnalysis) {
  const std::string Sheets = AWithAnalysis ? "2" : "1";
  std::vector<std::string> Titles = {"      <vt:lpstr>" + GetLocalizedText(TMsg::XlsxSheetName, ALang) + "</vt:lpstr>"};
  if (AWithAnalysis)
    Titles.push_back("      <vt:lpstr>" + GetLocalizedText(TMsg::AnalysisSheetName, ALang) + "</vt:lpstr>");
  std::vector<std::string> L = {
      kXmlDecl,
      R"(<Properties xmlns=")" + kOoxml + R"(/officeDocument/2006/extended-properties" xmlns:vt=")" + kOoxml +
          R"(/officeDocument/2006/docPropsVTypes">)",
      "  <Application>Microsoft Excel</Application>",
      "  <DocSecurity>0</DocSecurity>",
      "  <ScaleCrop>false</ScaleCrop>",
      "  <HeadingPairs>",
      R"(    <vt:vector size="2" baseType="variant">)",
      "      <vt:variant>",
      "        <vt:lpstr>" + GetLocalizedText(TMsg::XlsxSheetsTitle, ALang) + "</vt:lpstr>",
      "      </vt:variant>",
      "      <vt:variant>",
      "        <vt:i4>" + Sheets + "</vt:i4>",
      "      </vt:variant>",
      "    </vt:vector>",
      "  </HeadingPairs>",
      "  <TitlesOfParts>",
      R"(    <vt:vector size=")" + Sheets + R"(" baseType="lpstr">)",
  };
  L.insert(L.end(), Titles.begin(), Titles.end());
  for (const char* Line : {"    </vt:vector>", "  </TitlesOfParts>", "  <LinksUpToDate>false</LinksUpToDate>",
                           "  <SharedDoc>false</SharedDoc>", "  <HyperlinksChanged>false</HyperlinksChanged>",
                           "  <AppVersion>14.0300</AppVersion>", "</Properties>"})
    L.push_back(Line);
  return JoinPartLines(L);
}

std::string BuildCorePart(std::time_t AUtcTime) {
  const std::tm Tm = UtcBrokenDownTime(AUtcTime);
  char Stamp[32];
  std::strftime(Stamp, sizeof Stamp, "%Y-%m-%dT%H:%M:%S", &Tm);
  return JoinPartLines({
      kXmlDecl,
      "<cp:coreProperties",
      R"(  xmlns:cp=")" + kOoxml + R"(/package/2006/metadata/core-properties")",
      R"(  xmlns:dc=")" + kPurl + R"(/dc/elements/1.1/")",
      R"(  xmlns:dcterms=")" + kPurl + R"(/dc/terms/")",
      R"(  xmlns:dcmitype=")" + kPurl + R"(/dc/dcmitype/")",
      R"(  xmlns:xsi=")" + kW3 + R"(/2001/XMLSchema-instance">)",
      "  <dc:creator>Lexmora</dc:creator>",
      "  <cp:lastModifiedBy>Lexmora</cp:lastModifiedBy>",
      R"(  <dcterms:created xsi:type="dcterms:W3CDTF">)" + std::string(Stamp) + "Z</dcterms:created>",
      R"(  <dcterms:modified xsi:type="dcterms:W3CDTF">)" + std::string(Stamp) + "Z</dcterms:modified>",
      "</cp:coreProperties>",
  });
}

std::string BuildWorkbookRelsPart(bool AWithAnalysis) {
  std::vector<std::string> L = {
      kXmlDecl,
      RelationshipsOpen(),
      Relationship("rId3", kRelTypes + "/styles", "styles.xml"),
      Relationship("rId1", kRelTypes + "/worksheet", "worksheets/sheet1.xml"),
      Relationship("rId4", kRelTypes + "/sharedStrings", "sharedStrings.xml"),
  };
  if (AWithAnalysis) L.push_back(Relationship("rId5", kRelTypes + "/worksheet", "worksheets/sheet2.xml"));
  L.push_back("</Relationships>");
  return JoinPartLines(L);
}

std::string BuildStylesPart() {
  std::vector<std::string> L = {
      kXmlDecl,
      R"(<styleSheet xmlns=")" + kOoxml + R"(/spreadsheetml/2006/main" xmlns:mc=")" + kOoxml +
          R"(/markup-compatibility/2006" mc:Ignorable="x14ac" xmlns:x14ac=")" + kMsOffice +
          R"(/office/spreadsheetml/2009/9/ac">)",
      R"(  <fonts count="5" x14ac:knownFonts="1">)",
  };
  for (const auto& Font : kFonts) {
    std::string Elements = ExcelFontElements("      ", "name", Font.Bold, Font.Colour);
    Elements.resize(Elements.size() - 2);  // JoinPartLines ends the last line
    L.push_back("    <font>");
    L.push_back(Elements);
    L.push_back("    </font>");
  }
  L.push_back("  </fonts>");
  L.push_back(R"(  <fills count="5">)");
  for (const char* Pattern : {"none", "gray125"}) {
    L.push_back("    <fill>");
    L.push_back(R"(      <patternFill patternType=")" + std::string(Pattern) + R"("/>)");
    L.push_back("    </fill>");
  }
  for (const char* Colour : kSolidFills) {
    L.push_back("    <fill>");
    L.push_back(R"(      <patternFill patternType="solid">)");
    L.push_back(R"(        <fgColor rgb=")" + std::string(Colour) + R"("/>)");
    L.push_back(R"(        <bgColor indexed="64"/>)");
    L.push_back("      </patternFill>");
    L.push_back("    </fill>");
  }
  L.push_back("  </fills>");
  L.push_back(R"(  <borders count="2">)");
  for (const char* Line : {"    <border>", "      <left/>", "      <right/>", "      <top/>", "      <bottom/>",
                           "      <diagonal/>", "    </border>"})
    L.push_back(Line);
  L.push_back("    <border>");
  for (const std::string Side : {"left", "right", "top", "bottom"}) {
    L.push_back("      <" + Side + R"( style="thin">)");
    L.push_back(R"(        <color auto="1"/>)");
    L.push_back("      </" + Side + ">");
  }
  L.push_back("      <diagonal/>");
  L.push_back("    </border>");
  L.push_back("  </borders>");
  L.push_back(R"(  <cellStyleXfs count="1">)");
  L.push_back(R"(    <xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>)");
  L.push_back("  </cellStyleXfs>");
  L.push_back(R"(  <cellXfs count="11">)");
  L.push_back(R"(    <xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)");
  for (const auto& Style : kCellStyles) {
    L.push_back(R"(    <xf numFmtId="0" fontId=")" + std::to_string(Style.Font) + R"(" fillId=")" +
                std::to_string(Style.Fill) + R"(" borderId=")" + std::to_string(Style.Border) +
                R"(" xfId="0" applyFont="1" applyAlignment="1")" + (Style.FillApplied ? R"( applyFill="1")" : "") +
                ">");
    L.push_back(AlignmentLine(Style.Align));
    L.push_back("    </xf>");
  }
  L.push_back("  </cellXfs>");
  // The default style is the one of the first font: readers that take the default style from
  // here (rather than their own) give plain runs and empty cells the sheet's font.
  L.push_back(R"(  <cellStyles count="1">)");
  L.push_back(R"(    <cellStyle name="Normal" xfId="0" builtinId="0"/>)");
  L.push_back("  </cellStyles>");
  L.push_back(R"(  <dxfs count="0"/>)");
  L.push_back(
      R"(  <tableStyles count="0" defaultTableStyle="TableStyleMedium2" defaultPivotStyle="PivotStyleLight16"/>)");
  L.push_back("  <extLst>");
  L.push_back(R"(    <ext uri="{EB79DEF2-80B8-43e5-95BD-54CBDDF9020C}" xmlns:x14=")" + kMsOffice +
              R"(/office/spreadsheetml/2009/9/main">)");
  L.push_back(R"(      <x14:slicerStyles defaultSlicerStyle="SlicerStyleLight1"/>)");
  L.push_back("    </ext>");
  L.push_back("  </extLst>");
  L.push_back("</styleSheet>");
  return JoinPartLines(L);
}

std::string BuildWorkbookPart(TLocalizationLanguare ALang, bool AWithAnalysis, const TExcelTable& ASheet1Table,
                              const TExcelTable& AAnalysisTable) {
  std::vector<std::string> L = {
      kXmlDecl,
      R"(<workbook xmlns=")" + kOoxml + R"(/spreadsheetml/2006/main" xmlns:r=")" + kRelTypes + R"(">)",
      R"(  <fileVersion appName="xl" lastEdited="5" lowestEdited="5" rupBuild="9303"/>)",
      R"(  <workbookPr defaultThemeVersion="124226"/>)",
      "  <bookViews>",
      R"(    <workbookView xWindow="240" yWindow="105" windowWidth="21075" windowHeight="10050"/>)",
      "  </bookViews>",
      "  <sheets>",
      R"(    <sheet name=")" + GetLocalizedText(TMsg::XlsxSheetName, ALang) + R"(" sheetId="1" r:id="rId1"/>)",
  };
  if (AWithAnalysis)
    L.push_back(R"(    <sheet name=")" + GetLocalizedText(TMsg::AnalysisSheetName, ALang) +
                R"(" sheetId="2" r:id="rId5"/>)");
  L.push_back("  </sheets>");
  std::string Names = DefinedNameLines(0, GetLocalizedText(TMsg::XlsxSheetName, ALang), ASheet1Table);
  if (AWithAnalysis) Names += DefinedNameLines(1, GetLocalizedText(TMsg::AnalysisSheetName, ALang), AAnalysisTable);
  if (!Names.empty()) {
    Names.resize(Names.size() - 2);  // JoinPartLines ends the last line
    L.push_back("  <definedNames>");
    L.push_back(Names);
    L.push_back("  </definedNames>");
  }
  L.push_back("</workbook>");
  return JoinPartLines(L);
}

std::string BuildContentTypesPart(bool AWithAnalysis) {
  const std::string Ns = "application/vnd.openxmlformats-officedocument.";
  auto Override = [](const std::string& APart, const std::string& AType) {
    return R"(  <Override PartName=")" + APart + R"(" ContentType=")" + AType + R"("/>)";
  };
  std::vector<std::string> L = {
      kXmlDecl,
      R"(<Types xmlns=")" + kOoxml + R"(/package/2006/content-types">)",
      R"(  <Default Extension="png" ContentType="image/png"/>)",
      R"(  <Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)",
      R"(  <Default Extension="xml" ContentType="application/xml"/>)",
      Override("/xl/workbook.xml", Ns + "spreadsheetml.sheet.main+xml"),
      Override("/xl/worksheets/sheet1.xml", Ns + "spreadsheetml.worksheet+xml"),
  };
  if (AWithAnalysis) L.push_back(Override("/xl/worksheets/sheet2.xml", Ns + "spreadsheetml.worksheet+xml"));
  for (const std::string& Line : {
           Override("/xl/styles.xml", Ns + "spreadsheetml.styles+xml"),
           Override("/xl/sharedStrings.xml", Ns + "spreadsheetml.sharedStrings+xml"),
           Override("/xl/drawings/drawing1.xml", Ns + "drawing+xml"),
           Override("/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"),
           Override("/docProps/app.xml", Ns + "extended-properties+xml"),
           std::string("</Types>"),
       })
    L.push_back(Line);
  return JoinPartLines(L);
}

std::string BuildDrawingPart() {
  return JoinPartLines({
      kXmlDecl,
      R"(<xdr:wsDr xmlns:xdr=")" + kOoxml + R"(/drawingml/2006/spreadsheetDrawing" xmlns:a=")" + kOoxml +
          R"(/drawingml/2006/main">)",
      R"(  <xdr:twoCellAnchor editAs="oneCell">)",
      "    <xdr:from>",
      "      <xdr:col>6</xdr:col>",
      "      <xdr:colOff>2626179</xdr:colOff>",
      "      <xdr:row>0</xdr:row>",
      "      <xdr:rowOff>122465</xdr:rowOff>",
      "    </xdr:from>",
      "    <xdr:to>",
      "      <xdr:col>6</xdr:col>",
      "      <xdr:colOff>4054929</xdr:colOff>",
      "      <xdr:row>0</xdr:row>",
      "      <xdr:rowOff>493940</xdr:rowOff>",
      "    </xdr:to>",
      "    <xdr:pic>",
      "      <xdr:nvPicPr>",
      "        <xdr:cNvPr id=\"2\" name=\"\xD0\xA0\xD0\xB8\xD1\x81\xD1\x83\xD0\xBD\xD0\xBE\xD0\xBA 1\">",  // "Рисунок
                                                                                                           // 1"
      R"(          <a:hlinkClick xmlns:r=")" + kRelTypes + R"(" r:id="rId1"/>)",
      "        </xdr:cNvPr>",
      "        <xdr:cNvPicPr>",
      R"(          <a:picLocks noChangeAspect="1"/>)",
      "        </xdr:cNvPicPr>",
      "      </xdr:nvPicPr>",
      "      <xdr:blipFill>",
      R"(        <a:blip xmlns:r=")" + kRelTypes + R"(" r:embed="rId2">)",
      "          <a:extLst>",
      R"(            <a:ext uri="{28A0092B-C50C-407E-A947-70E740481C1C}">)",
      R"(              <a14:useLocalDpi xmlns:a14=")" + kMsOffice + R"(/office/drawing/2010/main" val="0"/>)",
      "            </a:ext>",
      "          </a:extLst>",
      "        </a:blip>",
      "        <a:stretch>",
      "          <a:fillRect/>",
      "        </a:stretch>",
      "      </xdr:blipFill>",
      "      <xdr:spPr>",
      "        <a:xfrm>",
      R"(          <a:off x="17199429" y="122465"/>)",
      R"(          <a:ext cx="1428750" cy="371475"/>)",
      "        </a:xfrm>",
      R"(        <a:prstGeom prst="rect">)",
      "          <a:avLst/>",
      "        </a:prstGeom>",
      "      </xdr:spPr>",
      "    </xdr:pic>",
      "    <xdr:clientData/>",
      "  </xdr:twoCellAnchor>",
      "</xdr:wsDr>",
  });
}

std::string BuildDrawingRelsPart() {
  return JoinPartLines({
      kXmlDecl,
      RelationshipsOpen(),
      Relationship("rId2", kRelTypes + "/image", "../media/image1.png"),
      Relationship("rId1", kRelTypes + "/hyperlink", kMakerSiteUrl, R"( TargetMode="External")"),
      "</Relationships>",
  });
}

std::string BuildSheetRelsPart() {
  return JoinPartLines({
      kXmlDecl,
      RelationshipsOpen(),
      Relationship("rId1", kRelTypes + "/drawing", "../drawings/drawing1.xml"),
      "</Relationships>",
  });
}

TPartPieces Sheet1PartPieces(const TLineList& ATotalInfo, const TLineList& ASheetRows, const TLineList& AMergeCells,
                             std::int32_t ALastRow, const TExcelTable& ATable) {
  TPartPieces Result;
  std::string Head = JoinPartLines({
      kXmlDecl,
      "<worksheet",
      R"(  xmlns=")" + kOoxml + R"(/spreadsheetml/2006/main")",
      R"(  xmlns:r=")" + kRelTypes + "\"",
      R"(  xmlns:mc=")" + kOoxml + R"(/markup-compatibility/2006")",
      R"(  mc:Ignorable="x14ac")",
      R"(  xmlns:x14ac=")" + kMsOffice + R"(/office/spreadsheetml/2009/9/ac">)",
      "",
  });
  Head += FitToWidthLines();
  Head += R"(  <dimension ref="A1:G)" + std::to_string(ALastRow) + "\"/>\r\n";
  Head += SheetViewLines(ATable, true);
  Head += R"(  <sheetFormatPr defaultRowHeight="20" x14ac:dyDescent="0.25"/>)"
          "\r\n  <cols>\r\n";
  Head += ColumnLines();
  Head += "  </cols>\r\n  <sheetData>\r\n";
  Result.AddOwn(std::move(Head));
  Result.AddLines(ATotalInfo);
  Result.AddView("\r\n");
  Result.AddLines(ASheetRows);
  std::string Tail = "\r\n  </sheetData>\r\n" + AutoFilterLines(ATable);
  if (AMergeCells.Count() > 0) {
    Tail += R"(  <mergeCells count=")" + std::to_string(AMergeCells.Count()) + "\">\r\n";
    Result.AddOwn(std::move(Tail));
    Result.AddLines(AMergeCells);
    Tail = "  </mergeCells>\r\n";
  }
  Tail += PrintSetupLines();
  Tail += R"(  <drawing r:id="rId1"/>)"
          "\r\n";
  Tail += "</worksheet>\r\n";
  Result.AddOwn(std::move(Tail));
  return Result;
}

std::string BuildSheet1Part(const TLineList& ATotalInfo, const TLineList& ASheetRows, const TLineList& AMergeCells,
                            std::int32_t ALastRow, const TExcelTable& ATable) {
  return Sheet1PartPieces(ATotalInfo, ASheetRows, AMergeCells, ALastRow, ATable).Joined();
}

TPartPieces SharedStringsPartPieces(const TLineList& AItemLines, std::int32_t ACount) {
  TPartPieces Result;
  Result.AddOwn(JoinPartLines({
      kXmlDecl,
      R"(<sst xmlns=")" + kOoxml + R"(/spreadsheetml/2006/main" count=")" + std::to_string(ACount) +
          R"(" uniqueCount=")" + std::to_string(ACount) + R"(">)",
  }));
  Result.AddLines(AItemLines);
  Result.AddView("\r\n</sst>\r\n");
  return Result;
}

std::string BuildSharedStringsPart(const TLineList& AItemLines, std::int32_t ACount) {
  return SharedStringsPartPieces(AItemLines, ACount).Joined();
}

}  // namespace lexmora
