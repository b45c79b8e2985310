// Command-line parsing and the usage text of lexmora-compare.
#include <string_view>

#include "CliUnit.h"
#include "CostTermsUnit.h"
#include "EditBandUnit.h"

namespace lexmora {

std::string CliUsage() {
  return "Usage: lexmora-compare -s SOURCE [-s SOURCE ...] -e EDITED [-e EDITED ...] [options]\n"
         "  -s, --source PATH     source (translator) file, package or folder; repeatable\n"
         "  -e, --edited PATH     edited (editor) file, package or folder; repeatable\n"
         "                        (a folder: every supported file below it, in name order)\n"
         "  -o, --output-dir DIR  folder for the reports (default ./Results, created when missing)\n"
         "  -f, --format FMT      html (default) or xlsx\n"
         "      --show-identical  also list segments whose translated and edited texts are equal\n"
         "      --ignore-nbsp     treat no-break spaces as ordinary spaces\n"
         "      --no-highlight    do not colour the rows that contain edits\n"
         "      --tags MODE       none | short (default) | id | full\n"
         "      --lang LANG       en (default) | ru: language of the report and messages\n"
         "      --temp-dir DIR    working folder (default: a new private folder in the system's temp,\n"
         "                        removed at the end)\n"
         "      --bands LIST      lower bounds of the analysis's edit-distance bands, highest first\n"
         "                        (default 100,95,85,75,50,0)\n"
         "      --rates LIST      the cost by band: each band's lower bound and its share of the full\n"
         "                        rate in percent, such as 100:0,95:25,85:50,75:70,50:100,0:100 (the\n"
         "                        bounds are the bands; with --bands they must be the same)\n"
         "      --word-price N    the full rate of one word, such as 0.12 (needs --rates)\n"
         "      --currency TEXT   shown with the price and the cost, such as EUR (needs --word-price)\n"
         "      --csv             also write each report's segments as <report name>.csv\n"
         "      --json            print a JSON summary on stdout\n"
         "  -q, --quiet           nothing on stderr but what went wrong\n"
         "  -h, --help            show this text\n"
         "      --version         show the version\n"
         "Exit status: 0 every report created, 1 a report failed, 2 bad usage, 3 stopped by the user,\n"
         "4 unknown error.\n";
}

bool ParseCliArgs(const std::vector<std::string>& AArgs, TCliOptions& AOptions, std::string& AError) {
  for (std::size_t I = 0; I < AArgs.size(); ++I) {
    std::string Name = AArgs[I];
    std::string Value;
    bool HasInlineValue = false;
    // "--name=value" is accepted as well as "--name value".
    if (Name.rfind("--", 0) == 0) {
      if (const std::size_t Eq = Name.find('='); Eq != std::string::npos) {
        Value = Name.substr(Eq + 1);
        Name.resize(Eq);
        HasInlineValue = true;
      }
    }
    const auto TakeValue = [&](std::string& AOut) {
      if (HasInlineValue) {
        AOut = Value;
      } else if (I + 1 < AArgs.size()) {
        AOut = AArgs[++I];
      } else {
        AError = "option " + Name + " needs a value";
        return false;
      }
      if (AOut.empty()) {
        AError = "option " + Name + " needs a non-empty value";
        return false;
      }
      return true;
    };
    const auto NoValue = [&]() {
      if (!HasInlineValue) return true;
      AError = "option " + Name + " takes no value";
      return false;
    };

    std::string Arg;
    if (Name == "-s" || Name == "--source") {
      if (!TakeValue(Arg)) return false;
      AOptions.SourceFiles.push_back(Arg);
    } else if (Name == "-e" || Name == "--edited") {
      if (!TakeValue(Arg)) return false;
      AOptions.EditedFiles.push_back(Arg);
    } else if (Name == "-o" || Name == "--output-dir") {
      if (!TakeValue(AOptions.OutputDir)) return false;
    } else if (Name == "-f" || Name == "--format") {
      if (!TakeValue(Arg)) return false;
      if (Arg == "html")
        AOptions.Format = TResultFileFormat::rffHTML;
      else if (Arg == "xlsx")
        AOptions.Format = TResultFileFormat::rffXLSX;
      else {
        AError = "unknown format '" + Arg + "' (html or xlsx)";
        return false;
      }
    } else if (Name == "--tags") {
      if (!TakeValue(Arg)) return false;
      if (Arg == "none")
        AOptions.ShowTags = TShowTagsFlag::stfDontShowTags;
      else if (Arg == "short")
        AOptions.ShowTags = TShowTagsFlag::stfShowTagsOnly;
      else if (Arg == "id")
        AOptions.ShowTags = TShowTagsFlag::stfShowTagsID;
      else if (Arg == "full")
        AOptions.ShowTags = TShowTagsFlag::stfShowTagsContent;
      else {
        AError = "unknown tag mode '" + Arg + "' (none, short, id or full)";
        return false;
      }
    } else if (Name == "--lang") {
      if (!TakeValue(Arg)) return false;
      if (Arg == "en")
        AOptions.Lang = TLocalizationLanguare::llEN;
      else if (Arg == "ru")
        AOptions.Lang = TLocalizationLanguare::llRU;
      else {
        AError = "unknown language '" + Arg + "' (en or ru)";
        return false;
      }
    } else if (Name == "--bands") {
      if (!TakeValue(Arg)) return false;
      TEditBands Bands;
      if (!Bands.ParseBounds(Arg)) {
        AError = "bad band list '" + Arg + "' (whole numbers from 0 to 100, highest first, each lower than the one " +
                 "before, separated by commas, such as 100,95,85,75,50,0)";
        return false;
      }
      AOptions.BandBounds = Bands.Bounds();
    } else if (Name == "--rates") {
      if (!TakeValue(Arg)) return false;
      if (!ParseBandRates(Arg, AOptions.Cost.Rates)) {
        AError = "bad rate list '" + Arg + "' (band lower bound:percent of the full rate, bounds as for --bands, " +
                 "percents from 0 to 100, such as 100:0,95:25,85:50,75:70,50:100,0:100)";
        return false;
      }
    } else if (Name == "--word-price") {
      if (!TakeValue(Arg)) return false;
      double Price = 0;
      if (!ParseWordPrice(Arg, Price)) {
        AError = "bad word price '" + Arg + "' (a number such as 0.12, with a point for decimals)";
        return false;
      }
      AOptions.Cost.WordPrice = Price;
    } else if (Name == "--currency") {
      if (!TakeValue(AOptions.Cost.Currency)) return false;
      if (!IsValidCurrency(AOptions.Cost.Currency)) {
        AError = "bad currency '" + AOptions.Cost.Currency + "' (1 to 16 printable characters, such as EUR)";
        return false;
      }
    } else if (Name == "--csv") {
      if (!NoValue()) return false;
      AOptions.Csv = true;
    } else if (Name == "--temp-dir") {
      if (!TakeValue(AOptions.TempDir)) return false;
    } else if (Name == "--show-identical") {
      if (!NoValue()) return false;
      AOptions.ShowIdentical = true;
    } else if (Name == "--ignore-nbsp") {
      if (!NoValue()) return false;
      AOptions.IgnoreNbsp = true;
    } else if (Name == "--no-highlight") {
      if (!NoValue()) return false;
      AOptions.NoHighlight = true;
    } else if (Name == "--json") {
      if (!NoValue()) return false;
      AOptions.Json = true;
    } else if (Name == "-q" || Name == "--quiet") {
      if (!NoValue()) return false;
      AOptions.Quiet = true;
    } else if (Name == "-h" || Name == "--help") {
      AOptions.Help = true;
    } else if (Name == "--version") {
      AOptions.Version = true;
    } else {
      AError = "unknown option '" + Name + "'";
      return false;
    }
  }
  if (AOptions.Help || AOptions.Version) return true;
  if (AOptions.Cost.WordPrice && !AOptions.Cost.HasRates()) {
    AError = "option --word-price needs --rates";
    return false;
  }
  if (!AOptions.Cost.Currency.empty() && !AOptions.Cost.WordPrice) {
    AError = "option --currency needs --word-price";
    return false;
  }
  if (AOptions.Cost.HasRates() && !AOptions.BandBounds.empty() && AOptions.Cost.Bounds() != AOptions.BandBounds) {
    AError = "the bounds of --rates are not those of --bands";
    return false;
  }
  if (AOptions.SourceFiles.empty()) {
    AError = "no source file given (-s)";
    return false;
  }
  if (AOptions.EditedFiles.empty()) {
    AError = "no edited file given (-e)";
    return false;
  }
  return true;
}

}  // namespace lexmora
