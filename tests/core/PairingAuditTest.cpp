#include <gtest/gtest.h>

#include "PairingAuditUnit.h"

using namespace lexmora;

namespace {

TDiffInfoRecord Seg(const std::string& ADoc, const std::string& AUnit, const std::string& ASeg,
                    const std::string& ASrc = "en-US", const std::string& ATrg = "de-DE",
                    const std::string& ASource = "Text", const std::string& AResult = "Text") {
  TDiffInfoRecord R;
  R.FileName = ADoc;
  R.UnitID = AUnit;
  R.SegmentID = ASeg;
  R.SourceLang = ASrc;
  R.TargetLang = ATrg;
  R.SourceString = ASource;
  R.ResultStr = AResult;
  return R;
}

std::string UserName(const TDiffInfoRecord& ARec) { return "user/" + ARec.FileName; }
std::string Shout(const std::string& AText) { return AText + "!"; }

std::vector<std::string> Ids(const std::vector<TAuditEntry>& AList) {
  std::vector<std::string> Result;
  for (const TAuditEntry& E : AList)
    Result.push_back(std::string(E.Side == TAuditSide::asSource ? "s:" : "e:") + E.UnitID + "/" + E.SegmentID);
  return Result;
}

}  // namespace

TEST(PairingAudit, IdentityIgnoresLanguageCaseOnly) {
  const TDiffInfoRecord A = Seg("a", "u1", "1", "en-US", "de-DE");
  EXPECT_EQ(SegmentIdentityKey(A), SegmentIdentityKey(Seg("other", "u1", "1", "EN-us", "DE-de")));
  EXPECT_NE(SegmentIdentityKey(A), SegmentIdentityKey(Seg("a", "U1", "1")));
  EXPECT_NE(SegmentIdentityKey(A), SegmentIdentityKey(Seg("a", "u1", "1", "en-US", "de-AT")));
  // Fields cannot run together: ("u1", "12") is not ("u11", "2").
  EXPECT_NE(SegmentIdentityKey(Seg("a", "u1", "12")), SegmentIdentityKey(Seg("a", "u11", "2")));
  EXPECT_EQ(LanguageKey("zh-Hans_cn"), "ZH-HANS_CN");
}

TEST(PairingAudit, EverySegmentPaired) {
  const TArrayOfDiffInfoRecord Src = {Seg("a", "1", "1"), Seg("a", "2", "1")};
  const TArrayOfDiffInfoRecord Ed = {Seg("a", "2", "1"), Seg("a", "1", "1", "EN-US", "de-de")};
  const TPairingAudit Audit = ComputePairingAudit(Src, Ed, UserName, nullptr);
  EXPECT_TRUE(Audit.Empty());
}

TEST(PairingAudit, RemovedAddedAndDuplicatedUnits) {
  const TArrayOfDiffInfoRecord Src = {
      Seg("a", "1", "1"),
      Seg("a", "2", "1"),
      Seg("a", "3", "1"),                        // unit 2 removed on the edited side
      Seg("b", "1", "1"),                        // same identity in another document
      Seg("a", "9", "1", "en-US", "de-DE", ""),  // no source text: takes no part
  };
  const TArrayOfDiffInfoRecord Ed = {
      Seg("a", "1", "1"),
      Seg("a", "3", "1"),
      Seg("a", "4", "1", "en-US", "de-DE", "New", "Neu"),   // unit 4 added
      Seg("a", "3", "1"),                                   // duplicate on the edited side
      Seg("a", "5", "1", "en-US", "de-DE", "", "x"),        // added, but without source text
      Seg("a", "9", "1", "en-US", "de-DE", "Src", "only"),  // its source twin has no source text
  };
  TPairingAudit Audit = ComputePairingAudit(Src, Ed, UserName, Shout);
  EXPECT_EQ(Ids(Audit.MissingInEdited), (std::vector<std::string>{"s:2/1"}));
  EXPECT_EQ(Ids(Audit.OnlyInEdited), (std::vector<std::string>{"e:4/1", "e:9/1"}));
  EXPECT_EQ(Ids(Audit.DuplicateIds), (std::vector<std::string>{"s:1/1", "e:3/1"}));

  const TAuditEntry& Missing = Audit.MissingInEdited[0];
  EXPECT_EQ(Missing.Document, "user/a");
  EXPECT_EQ(Missing.Index, 1u);
  EXPECT_EQ(Missing.SourceLang, "en-US");
  EXPECT_EQ(Missing.TargetLang, "de-DE");
  EXPECT_EQ(Audit.OnlyInEdited[0].Text, "Neu!");
  EXPECT_EQ(Audit.OnlyInEdited[0].Index, 2u);
  EXPECT_EQ(Audit.DuplicateIds[0].Document, "user/b");
  EXPECT_EQ(Audit.DuplicateIds[0].Index, 3u);
  EXPECT_EQ(Audit.DuplicateIds[1].Index, 3u);

  // Rows come from the report construction; only source-side entries have one.
  Audit.SetRows({1, 0, 2, 3, 0});
  EXPECT_EQ(Audit.MissingInEdited[0].Row, 0);
  EXPECT_EQ(Audit.DuplicateIds[0].Row, 3);
  EXPECT_EQ(Audit.DuplicateIds[1].Row, 0);
  EXPECT_EQ(Audit.OnlyInEdited[0].Row, 0);
  Audit.SetRows({0, 7});
  EXPECT_EQ(Audit.MissingInEdited[0].Row, 7);
}

TEST(PairingAudit, LanguagePairOnlyOnTheEditedSide) {
  const TArrayOfDiffInfoRecord Src = {Seg("a", "1", "1")};
  const TArrayOfDiffInfoRecord Ed = {Seg("a", "1", "1"), Seg("f", "1", "1", "en-US", "fr-FR"),
                                     Seg("f", "2", "1", "en-US", "fr-FR")};
  const TPairingAudit Audit = ComputePairingAudit(Src, Ed, nullptr, nullptr);
  ASSERT_EQ(Audit.OnlyInEdited.size(), 2u);
  EXPECT_EQ(Audit.OnlyInEdited[0].TargetLang, "fr-FR");
  EXPECT_EQ(Audit.OnlyInEdited[0].Document, "f");  // no name function: the record's own name
  EXPECT_EQ(Audit.OnlyInEdited[1].Text, "Text");   // no text function: as stored
  EXPECT_TRUE(Audit.MissingInEdited.empty());
  EXPECT_TRUE(Audit.DuplicateIds.empty());
}

TEST(PairingAudit, EmptySides) {
  EXPECT_TRUE(ComputePairingAudit({}, {}, nullptr, nullptr).Empty());
  const TPairingAudit OnlySource = ComputePairingAudit({Seg("a", "1", "1"), Seg("a", "1", "1")}, {}, nullptr, nullptr);
  EXPECT_EQ(Ids(OnlySource.MissingInEdited), (std::vector<std::string>{"s:1/1", "s:1/1"}));
  EXPECT_EQ(Ids(OnlySource.DuplicateIds), (std::vector<std::string>{"s:1/1"}));
}

TEST(PairingAudit, EachReportNamesItsPairAndThePairsWithoutReport) {
  const TArrayOfDiffInfoRecord Src = {Seg("a", "1", "1"), Seg("a", "2", "1"), Seg("r", "1", "1", "en-US", "ru-RU")};
  const TArrayOfDiffInfoRecord Ed = {Seg("a", "1", "1"), Seg("x", "7", "1", "en-us", "de-de"),
                                     Seg("f", "1", "1", "en-US", "fr-FR"), Seg("f", "1", "1", "en-US", "fr-FR")};
  const TPairingAudit Run = ComputePairingAudit(Src, Ed, nullptr, nullptr);
  const TLangPairs Reported = {{"en-US", "de-DE"}, {"en-US", "ru-RU"}};

  const TPairingAudit De = AuditForPair(Run, Reported[0], Reported);
  EXPECT_EQ(Ids(De.MissingInEdited), (std::vector<std::string>{"s:2/1"}));
  // Its own pair in another spelling, and the French pair that has no report.
  EXPECT_EQ(Ids(De.OnlyInEdited), (std::vector<std::string>{"e:7/1", "e:1/1", "e:1/1"}));
  EXPECT_EQ(De.OnlyInEdited[0].Document, "x");
  EXPECT_EQ(De.OnlyInEdited[1].Document, "f");
  EXPECT_EQ(Ids(De.DuplicateIds), (std::vector<std::string>{"e:1/1"}));

  const TPairingAudit Ru = AuditForPair(Run, Reported[1], Reported);
  EXPECT_EQ(Ids(Ru.MissingInEdited), (std::vector<std::string>{"s:1/1"}));
  EXPECT_EQ(Ru.MissingInEdited[0].Document, "r");
  EXPECT_EQ(Ids(Ru.OnlyInEdited), (std::vector<std::string>{"e:1/1", "e:1/1"}));
  EXPECT_EQ(Ru.OnlyInEdited[0].Document, "f");
  EXPECT_EQ(Ru.DuplicateIds.size(), 1u);
}
