#include "SevenZipHelper.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "AsciiTextUnit.h"
#include "DataTypeUnit.h"
#include "LoggerUnit.h"
#include "ParallelJobsUnit.h"
#include "Utf8PathUnit.h"
#include "WindowsEntryNamesUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

const char* const kExtractName = "SevenZipHelper.ExtractArchiveToDir";
const char* const kCreatePartsName = "SevenZipHelper.CreateZipFromParts";
const std::string kNoFileName = "entry name without a file name";

// The file type bits an entry made on Unix keeps (and gets) in the upper half of its external
// attributes. They are the archive's data, with the values of the traditional Unix mode, so they
// are named here rather than taken from the host's headers.
constexpr zip_uint32_t kUnixTypeMask = 0170000;
constexpr zip_uint32_t kUnixRegularFile = 0100000;
constexpr zip_uint32_t kUnixDirectory = 0040000;
constexpr zip_uint32_t kUnixSymbolicLink = 0120000;

std::string LowerExtension(const std::string& AFileName) {
  return AsciiLowerCase(Utf8FromPath(PathFromUtf8(AFileName).extension()));
}

// Extensions whose files are ZIP archives; the only container format this helper reads.
bool IsZipFamilyExtension(const std::string& AExt) {
  static const std::array<const char*, 11> kExts = {".zip",  ".jar",  ".xpi",  ".odt",  ".ods", ".odp",
                                                    ".docx", ".xlsx", ".pptx", ".epub", ".apk"};
  return std::any_of(kExts.begin(), kExts.end(), [&](const char* E) { return AExt == E; });
}

struct TZipCloser {
  void operator()(zip_t* AZip) const {
    if (AZip) zip_discard(AZip);
  }
};
using TZipPtr = std::unique_ptr<zip_t, TZipCloser>;

struct TZipFileCloser {
  void operator()(zip_file_t* AFile) const {
    if (AFile) zip_fclose(AFile);
  }
};
using TZipFilePtr = std::unique_ptr<zip_file_t, TZipFileCloser>;

std::string ZipErrorText(int ACode) {
  zip_error_t Error;
  zip_error_init_with_code(&Error, ACode);
  std::string Text = zip_error_strerror(&Error);
  zip_error_fini(&Error);
  return Text;
}

// One entry that passed the checks, with its path split into safe components.
struct TPlannedEntry {
  zip_uint64_t Index = 0;
  std::vector<std::string> Parts;
  bool IsDir = false;
  zip_uint64_t Size = 0;
};

// Splits an entry name into components; empty result with AReason set when the name is unsafe.
std::vector<std::string> SafeNameParts(std::string AName, std::string& AReason) {
  std::replace(AName.begin(), AName.end(), '\\', '/');
  if (AName.empty()) {
    AReason = "empty entry name";
    return {};
  }
  if (AName.front() == '/') {
    AReason = "absolute entry name (it leaves the package)";
    return {};
  }
  if (AName.size() >= 2 && AName[1] == ':' &&
      ((AName[0] >= 'A' && AName[0] <= 'Z') || (AName[0] >= 'a' && AName[0] <= 'z'))) {
    AReason = "entry name with a drive letter (it leaves the package)";
    return {};
  }
  std::vector<std::string> Parts;
  std::size_t Start = 0;
  while (Start <= AName.size()) {
    std::size_t End = AName.find('/', Start);
    if (End == std::string::npos) End = AName.size();
    const std::string Part = AName.substr(Start, End - Start);
    if (Part == "..") {
      AReason = "entry name leaves the package";
      return {};
    }
    if (!Part.empty() && Part != ".") Parts.push_back(Part);
    Start = End + 1;
  }
  if (Parts.empty()) AReason = kNoFileName;
  return Parts;
}

// Follows AParts below ADest, creating missing folders; refuses links and files on the way.
fs::path MakeFoldersInside(const fs::path& ADest, const std::vector<std::string>& AParts, std::size_t ACount) {
  fs::path Current = ADest;
  for (std::size_t I = 0; I < ACount; ++I) {
    Current /= PathFromUtf8(AParts[I]);
    const fs::file_status Status = fs::symlink_status(Current);
    if (fs::is_symlink(Status))
      throw std::runtime_error("a symbolic link lies on the path of " + Utf8FromPath(Current));
    if (!fs::exists(Status)) {
      fs::create_directory(Current);
    } else if (!fs::is_directory(Status)) {
      throw std::runtime_error("a file stands where a folder is needed: " + Utf8FromPath(Current));
    }
  }
  return Current;
}

// Writes one entry through a side file that is then renamed over the target, so a link or the
// archive itself standing under the target name is replaced, never written through.
void WriteEntry(zip_t* AZip, const TPlannedEntry& AEntry, const fs::path& ADest) {
  const fs::path Folder = MakeFoldersInside(ADest, AEntry.Parts, AEntry.Parts.size() - 1);
  const fs::path Target = Folder / PathFromUtf8(AEntry.Parts.back());
  if (fs::is_directory(fs::symlink_status(Target)))
    throw std::runtime_error("a folder stands where a file is needed: " + Utf8FromPath(Target));
  const fs::path Side = Folder / PathFromUtf8(AEntry.Parts.back() + ".unpacking~");
  TZipFilePtr In(zip_fopen_index(AZip, AEntry.Index, 0));
  if (!In) throw std::runtime_error(std::string("cannot open entry: ") + zip_strerror(AZip));
  {
    std::ofstream Out(Side, std::ios::binary | std::ios::trunc);
    if (!Out) throw std::runtime_error("cannot create " + Utf8FromPath(Side));
    std::vector<char> Buffer(1 << 16);
    zip_uint64_t Written = 0;
    for (;;) {
      const zip_int64_t Got = zip_fread(In.get(), Buffer.data(), Buffer.size());
      if (Got < 0) {
        const std::string Reason = zip_file_strerror(In.get());
        Out.close();
        fs::remove(Side);
        throw std::runtime_error("damaged entry " + Utf8FromPath(Target) + ": " + Reason);
      }
      if (Got == 0) break;
      Written += static_cast<zip_uint64_t>(Got);
      // The declared size was checked against the limits; data beyond it is refused.
      if (Written > AEntry.Size) {
        Out.close();
        fs::remove(Side);
        throw std::runtime_error("entry larger than declared: " + Utf8FromPath(Target));
      }
      Out.write(Buffer.data(), Got);
      if (!Out) throw std::runtime_error("cannot write " + Utf8FromPath(Side));
    }
  }
  fs::rename(Side, Target);
}

// Reads the entry table and refuses the archive when any entry is unsafe.
bool PlanExtraction(zip_t* AZip, std::vector<TPlannedEntry>& APlan, std::string& AReason) {
  const zip_int64_t Count = zip_get_num_entries(AZip, 0);
  if (Count < 0) {
    AReason = "cannot count the entries";
    return false;
  }
  if (static_cast<zip_uint64_t>(Count) > ArchiveMaxEntries) {
    AReason = "too many entries (" + std::to_string(Count) + ")";
    return false;
  }
  zip_uint64_t Total = 0;
#ifdef _WIN32
  std::vector<std::string> Names;  // of the planned entries, for the letter case check at the end
#endif
  for (zip_uint64_t I = 0; I < static_cast<zip_uint64_t>(Count); ++I) {
    zip_stat_t Stat;
    zip_stat_init(&Stat);
    // Strict: names are CP437 unless the entry carries the UTF-8 flag (or a Unicode path field).
    if (zip_stat_index(AZip, I, ZIP_FL_ENC_STRICT, &Stat) != 0 || !(Stat.valid & ZIP_STAT_NAME)) {
      AReason = "cannot read entry " + std::to_string(I);
      return false;
    }
    const std::string Name = Stat.name;
    std::string Why;
    TPlannedEntry Entry;
    Entry.Index = I;
    Entry.Parts = SafeNameParts(Name, Why);
    // An empty name is refused by SafeNameParts; it must not be looked at from its end.
    const bool IsDirName = !Name.empty() && (Name.back() == '/' || Name.back() == '\\');
    if (Entry.Parts.empty() && IsDirName && Why == kNoFileName) continue;  // "./": nothing to make
#ifdef _WIN32
    // Windows' own rules first: they tell a network prefix or a device where ours see only an
    // absolute name.
    if (const std::string_view Problem = WindowsEntryNameProblem(Name); !Problem.empty()) {
      AReason = std::string(Problem) + ": \"" + Name + "\"";
      return false;
    }
#endif
    if (Entry.Parts.empty()) {
      AReason = Why + ": \"" + Name + "\"";
      return false;
    }
    Entry.IsDir = IsDirName;
    zip_uint8_t OpSys = 0;
    zip_uint32_t Attributes = 0;
    if (zip_file_get_external_attributes(AZip, I, 0, &OpSys, &Attributes) == 0 && OpSys == ZIP_OPSYS_UNIX) {
      const zip_uint32_t Mode = (Attributes >> 16) & kUnixTypeMask;
      if (Mode == kUnixDirectory) Entry.IsDir = true;
      if (Mode != 0 && Mode != kUnixRegularFile && Mode != kUnixDirectory) {
        AReason =
            std::string(Mode == kUnixSymbolicLink ? "symbolic link" : "special file") + " entry: \"" + Name + "\"";
        return false;
      }
    }
    if ((Stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && Stat.encryption_method != ZIP_EM_NONE) {
      AReason = "encrypted entry: \"" + Name + "\"";
      return false;
    }
    if (!(Stat.valid & ZIP_STAT_SIZE) || !(Stat.valid & ZIP_STAT_COMP_SIZE)) {
      AReason = "entry without sizes: \"" + Name + "\"";
      return false;
    }
    Entry.Size = Entry.IsDir ? 0 : Stat.size;
    if (Stat.size / ArchiveMaxRatio > std::max<zip_uint64_t>(Stat.comp_size, 1)) {
      AReason = "compression ratio above " + std::to_string(ArchiveMaxRatio) + ":1 in entry \"" + Name + "\"";
      return false;
    }
    Total += Stat.size;
    if (Stat.size > ArchiveMaxTotalSize || Total > ArchiveMaxTotalSize) {
      AReason = "declared uncompressed size above " + std::to_string(ArchiveMaxTotalSize) + " bytes";
      return false;
    }
#ifdef _WIN32
    // A folder known by its mode alone is marked as one by its name, as the check reads it.
    Names.push_back(Entry.IsDir && !IsDirName ? Name + "/" : Name);
#endif
    APlan.push_back(std::move(Entry));
  }
#ifdef _WIN32
  AReason = WindowsNameClash(Names);
  if (!AReason.empty()) return false;
#endif
  return true;
}

struct TProgressState {
  const TOnProgressCallback* Callback = nullptr;
  std::int64_t Total = 1;
  const char* LogName = nullptr;  // the writing function's, for what the hook cannot pass on
};

void ProgressHook(zip_t* /*AZip*/, double AProgress, void* AState) {
  auto* State = static_cast<TProgressState*>(AState);
  try {
    const double Clamped = std::clamp(AProgress, 0.0, 1.0);
    (*State->Callback)(std::llround(Clamped * static_cast<double>(State->Total)), State->Total);
  } catch (const std::exception& E) {
    // Exceptions must not unwind through the archive library.
    Logger().AddException(State->LogName, E);
  } catch (...) {
    Logger().AddError(State->LogName, "unknown error in the progress hook");
  }
}

}  // namespace

namespace {

void TellReason(std::string* AReason, const std::string& AText) {
  if (AReason) *AReason = AText;
}

// Runs ABody, turning anything it throws into a logged failure whose reason goes to AReason.
bool Guarded(const char* ALogName, std::string* AReason, const std::function<bool()>& ABody) {
  try {
    return ABody();
  } catch (const std::exception& E) {
    Logger().AddException(ALogName, E);
    TellReason(AReason, E.what());
  } catch (...) {
    Logger().AddError(ALogName, "unknown error");
    TellReason(AReason, "unknown error");
  }
  return false;
}

}  // namespace

bool ExtractArchiveToDir(const std::string& AArchiveFileName, const std::string& ADestDir, std::string* AReason) {
  return Guarded(kExtractName, AReason, [&] {
    if (!IsZipFamilyExtension(LowerExtension(AArchiveFileName))) {
      Logger().AddError(kExtractName, "Not a ZIP archive name: " + AArchiveFileName);
      TellReason(AReason, "not a ZIP archive name");
      return false;
    }
    int ErrorCode = 0;
    TZipPtr Zip(zip_open(AArchiveFileName.c_str(), ZIP_RDONLY, &ErrorCode));
    if (!Zip) {
      Logger().AddError(kExtractName, "Cannot open " + AArchiveFileName + ": " + ZipErrorText(ErrorCode));
      TellReason(AReason, "not a readable ZIP package: " + LowerFirst(ZipErrorText(ErrorCode)));
      return false;
    }
    std::vector<TPlannedEntry> Plan;
    std::string Reason;
    if (!PlanExtraction(Zip.get(), Plan, Reason)) {
      Logger().AddError(kExtractName, "Refused " + AArchiveFileName + ": " + Reason);
      TellReason(AReason, Reason);
      return false;
    }
    const fs::path Dest = PathFromUtf8(ADestDir);
    fs::create_directories(Dest);
    for (const TPlannedEntry& Entry : Plan) {
      if (Entry.IsDir) {
        MakeFoldersInside(Dest, Entry.Parts, Entry.Parts.size());
      } else {
        WriteEntry(Zip.get(), Entry, Dest);
      }
    }
    return true;
  });
}

namespace {

// One entry to pack: its name in the archive and how to make its source (null on failure, with
// the library's error in AZip).
struct TPackItem {
  std::string Name;
  std::function<zip_source_t*(zip_t* AZip)> MakeSource;
  std::string What;  // for the failure text: the file or part the source reads
};

// Writes AArchiveFileName from AItems in order, deflated at level 7; ATotalBytes is what the
// progress counts to. Failures are logged under ALogName and their reason goes to AReason.
// AMode, when not 0, is stored as each entry's Unix file mode.
// APrepare, when not empty, runs once the archive could be opened, before the sources are made;
// answering false ends the work (it has then logged and told the reason).
bool WriteZip(const std::string& AArchiveFileName, const std::vector<TPackItem>& AItems, std::int64_t ATotalBytes,
              const TOnProgressCallback& AOnProgress, std::string* AReason, const char* ALogName,
              zip_uint32_t AMode = 0, const std::function<bool()>& APrepare = nullptr) {
  int ErrorCode = 0;
  TZipPtr Zip(zip_open(AArchiveFileName.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &ErrorCode));
  if (!Zip) {
    Logger().AddError(ALogName, "Cannot create " + AArchiveFileName + ": " + ZipErrorText(ErrorCode));
    TellReason(AReason, "cannot create the archive: " + LowerFirst(ZipErrorText(ErrorCode)));
    return false;
  }
  if (APrepare && !APrepare()) return false;
  for (const TPackItem& Item : AItems) {
    zip_source_t* Source = Item.MakeSource(Zip.get());
    if (!Source) throw std::runtime_error("cannot read " + Item.What + ": " + zip_strerror(Zip.get()));
    const zip_int64_t Index = zip_file_add(Zip.get(), Item.Name.c_str(), Source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (Index < 0) {
      zip_source_free(Source);
      throw std::runtime_error("cannot add " + Item.Name + ": " + zip_strerror(Zip.get()));
    }
    if (zip_set_file_compression(Zip.get(), static_cast<zip_uint64_t>(Index), ZIP_CM_DEFLATE, 7) != 0)
      throw std::runtime_error(std::string("cannot set compression: ") + zip_strerror(Zip.get()));
    if (AMode != 0 && zip_file_set_external_attributes(Zip.get(), static_cast<zip_uint64_t>(Index), 0, ZIP_OPSYS_UNIX,
                                                       (kUnixRegularFile | AMode) << 16) != 0)
      throw std::runtime_error(std::string("cannot set attributes: ") + zip_strerror(Zip.get()));
  }
  TProgressState State{&AOnProgress, std::max<std::int64_t>(ATotalBytes, 1), ALogName};
  if (AOnProgress) zip_register_progress_callback_with_state(Zip.get(), 0.01, ProgressHook, nullptr, &State);
  if (zip_close(Zip.get()) != 0) {
    Logger().AddError(ALogName, "Cannot write " + AArchiveFileName + ": " + zip_strerror(Zip.get()));
    TellReason(AReason, "cannot write the archive: " + LowerFirst(zip_strerror(Zip.get())));
    return false;  // the deleter discards the archive object; nothing was renamed into place
  }
  (void)Zip.release();  // closed successfully: the handle is gone
  return true;
}

// The mode a part written as a file by this process would have (0666 less the umask), which an
// entry packed from that file recorded. Read, not set: setting the umask to learn it would race
// with other threads creating files.
zip_uint32_t PartFileMode() {
  zip_uint32_t Mask = 022;
  std::ifstream Status("/proc/self/status");
  for (std::string Line; std::getline(Status, Line);)
    if (Line.rfind("Umask:", 0) == 0) {
      Mask = static_cast<zip_uint32_t>(std::stoul(Line.substr(6), nullptr, 8));
      break;
    }
  return 0666 & ~Mask & 0777;
}

}  // namespace

std::uint64_t TZipPart::Size() const {
  std::uint64_t Result = 0;
  for (const std::string_view Piece : Pieces) Result += Piece.size();
  return Result;
}

TDeflatedPart DeflateZipPart(const TZipPart& APart, const std::atomic<bool>* ACancel) {
  if (ACancel && ACancel->load()) throw std::runtime_error("deflating " + APart.Name + " was called off");
  return DeflatePieces(APart.Pieces, APart.Name);
}

namespace {

// An archive source that hands a deflated part to the library as compressed data, so the entry
// is written without deflating it again.
struct TDeflatedSource {
  const TDeflatedPart* Part = nullptr;
  std::size_t Offset = 0;
  std::time_t MTime = 0;
  zip_error_t Error{};
};

zip_int64_t DeflatedSourceCallback(void* AState, void* AData, zip_uint64_t ALength, zip_source_cmd_t ACommand) {
  auto* Source = static_cast<TDeflatedSource*>(AState);
  switch (ACommand) {
    case ZIP_SOURCE_OPEN:
      Source->Offset = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      const std::size_t Left = Source->Part->Stream.size() - Source->Offset;
      const std::size_t Take = static_cast<std::size_t>(std::min<zip_uint64_t>(ALength, Left));
      if (Take > 0) std::memcpy(AData, Source->Part->Stream.data() + Source->Offset, Take);
      Source->Offset += Take;
      return static_cast<zip_int64_t>(Take);
    }
    case ZIP_SOURCE_CLOSE:
      return 0;
    case ZIP_SOURCE_STAT: {
      if (ALength < sizeof(zip_stat_t)) break;
      auto* Stat = static_cast<zip_stat_t*>(AData);
      zip_stat_init(Stat);
      Stat->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_MTIME |
                    ZIP_STAT_ENCRYPTION_METHOD;
      Stat->size = Source->Part->Size;
      Stat->comp_size = Source->Part->Stream.size();
      Stat->comp_method = ZIP_CM_DEFLATE;
      Stat->encryption_method = ZIP_EM_NONE;
      Stat->crc = Source->Part->Crc;
      Stat->mtime = Source->MTime;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_GET_FILE_ATTRIBUTES: {
      if (ALength < sizeof(zip_file_attributes_t)) break;
      auto* Attributes = static_cast<zip_file_attributes_t*>(AData);
      // Normal compression, as the library's own deflating at levels 6 and 7 says: the flag is
      // only a hint to readers, and entries keep the heads they had when packed from files.
      Attributes->valid |= ZIP_FILE_ATTRIBUTES_GENERAL_PURPOSE_BIT_FLAGS | ZIP_FILE_ATTRIBUTES_VERSION_NEEDED;
      Attributes->general_purpose_bit_flags = 0;
      Attributes->general_purpose_bit_mask = 0x0006;  // the two bits that tell the deflate option
      Attributes->version_needed = 20;
      return sizeof(zip_file_attributes_t);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&Source->Error, AData, ALength);
    case ZIP_SOURCE_FREE:
      zip_error_fini(&Source->Error);
      delete Source;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_GET_FILE_ATTRIBUTES, -1);
    default:
      break;
  }
  zip_error_set(&Source->Error, ZIP_ER_INVAL, 0);
  return -1;
}

zip_source_t* DeflatedSource(zip_t* AZip, const TDeflatedPart& APart) {
  auto* State = new TDeflatedSource;
  State->Part = &APart;
  State->MTime = std::time(nullptr);
  zip_error_init(&State->Error);
  zip_source_t* Source = zip_source_function(AZip, DeflatedSourceCallback, State);
  if (!Source) {
    zip_error_fini(&State->Error);
    delete State;
  }
  return Source;
}

}  // namespace

bool CreateZipFromParts(const std::vector<TZipPart>& AParts, const std::string& AArchiveFileName,
                        const TOnProgressCallback& AOnProgress, std::string* AReason) {
  return Guarded(kCreatePartsName, AReason, [&] {
    if (LowerExtension(AArchiveFileName) != ".zip") return false;
    std::int64_t TotalBytes = 0;
    for (const TZipPart& Part : AParts) {
      if (Part.Name.empty() || Part.Name.front() == '/' || Part.Name.find('\\') != std::string::npos)
        throw std::invalid_argument("not a part name: " + Part.Name);
      TotalBytes += static_cast<std::int64_t>(Part.Size());
    }
    if (AParts.empty()) {
      Logger().AddError(kCreatePartsName, "No part to pack");
      TellReason(AReason, "no part to pack");
      return false;
    }
    // Deflating is nearly all the work; the biggest parts go first so that the cores finish
    // together. The archive is then written from the streams, in the parts' order.
    std::vector<std::shared_ptr<const TDeflatedPart>> Deflated(AParts.size());
    std::vector<std::size_t> Order(AParts.size());
    for (std::size_t I = 0; I < Order.size(); ++I) Order[I] = I;
    std::stable_sort(Order.begin(), Order.end(),
                     [&](std::size_t A, std::size_t B) { return AParts[A].Size() > AParts[B].Size(); });
    std::vector<std::function<void()>> Jobs;
    for (const std::size_t I : Order) {
      if (AParts[I].Deflated && AParts[I].Deflated->Size == AParts[I].Size())
        Deflated[I] = AParts[I].Deflated;
      else
        Jobs.push_back([&, I] { Deflated[I] = std::make_shared<TDeflatedPart>(DeflateZipPart(AParts[I])); });
    }
    const auto DeflateAll = [&] {
      try {
        RunJobs(Jobs, JobThreads());
        return true;
      } catch (const std::exception& E) {
        // Said as a failure of the library's own deflating while it wrote would be.
        Logger().AddError(kCreatePartsName, "Cannot write " + AArchiveFileName + ": " + E.what());
        TellReason(AReason, "cannot write the archive: " + LowerFirst(E.what()));
        return false;
      }
    };
    std::vector<TPackItem> Items;
    for (std::size_t I = 0; I < AParts.size(); ++I) {
      // Made once every part is deflated (see DeflateAll).
      Items.push_back(
          {AParts[I].Name, [&Deflated, I](zip_t* AZip) { return DeflatedSource(AZip, *Deflated[I]); }, AParts[I].Name});
    }
    return WriteZip(AArchiveFileName, Items, TotalBytes, AOnProgress, AReason, kCreatePartsName, PartFileMode(),
                    DeflateAll);
  });
}

}  // namespace lexmora
