#include "win32/shell_operation_errors.h"

#include <windows.h>

#include "win32/win_text.h"
#include "win32/system_error.h"

namespace ostrevane::win32 {
namespace {

// The shell's own result codes (DE_* and ERRORONDEST), which no system
// header defines. They overlap Win32 error numbers and must be read first.
enum ShellResult : int {
  kDeSameFile = 0x71,
  kDeManySrc1Dest = 0x72,
  kDeDiffDir = 0x73,
  kDeRootDir = 0x74,
  kDeOpCancelled = 0x75,
  kDeDestSubtree = 0x76,
  kDeAccessDeniedSrc = 0x78,
  kDePathTooDeep = 0x79,
  kDeManyDest = 0x7A,
  kDeInvalidFiles = 0x7C,
  kDeDestSameTree = 0x7D,
  kDeFldDestIsFile = 0x7E,
  kDeFileDestIsFld = 0x80,
  kDeFileNameTooLong = 0x81,
  kDeDestIsCdrom = 0x82,
  kDeDestIsDvd = 0x83,
  kDeDestIsCdRecord = 0x84,
  kDeFileTooLarge = 0x85,
  kDeSrcIsCdrom = 0x86,
  kDeSrcIsDvd = 0x87,
  kDeSrcIsCdRecord = 0x88,
  kDeErrorMax = 0xB7,
  kDeUnknownError = 0x402,
  kErrorOnDest = 0x10000,
  kDeRootDirOnDest = kErrorOnDest | kDeRootDir,
};

}  // namespace

Text ShellOperationErrorText(int result) {
  switch (result) {
    case kDeSameFile:
      return u"The source and the destination are the same file.";
    case kDeManySrc1Dest:
      return u"Several source files were given for a single destination file.";
    case kDeDiffDir:
      return u"The source and the destination are in different folders.";
    case kDeRootDir:
      return u"The source is a root folder, which cannot be moved or renamed.";
    case kDeOpCancelled:
      return u"The operation was cancelled.";
    case kDeDestSubtree:
      return u"The destination is a subfolder of the source.";
    case kDeAccessDeniedSrc:
      return u"Access to the source was denied.";
    case kDePathTooDeep:
      return u"The path is longer than the shell can handle.";
    case kDeManyDest:
      return u"Several destinations were given.";
    case kDeInvalidFiles:
      return u"The path is not valid.";
    case kDeDestSameTree:
      return u"The source and the destination are the same folder.";
    case kDeFldDestIsFile:
      return u"A folder was to replace a file of the same name.";
    case kDeFileDestIsFld:
      return u"A file was to replace a folder of the same name.";
    case kDeFileNameTooLong:
      return u"The name is too long.";
    case kDeDestIsCdrom:
    case kDeDestIsDvd:
    case kDeDestIsCdRecord:
      return u"The destination is a read-only disc.";
    case kDeFileTooLarge:
      return u"The file is too large for the destination.";
    case kDeSrcIsCdrom:
    case kDeSrcIsDvd:
    case kDeSrcIsCdRecord:
      return u"The source is on a read-only disc.";
    case kDeErrorMax:
      return u"A path grew longer than the shell can handle during the operation.";
    case kDeUnknownError:
      return u"An unknown error occurred, usually because a path is not valid.";
    case kErrorOnDest:
      return u"An unspecified error occurred at the destination.";
    case kDeRootDirOnDest:
      return u"The destination is a root folder, which cannot be renamed.";
    default:
      return SystemErrorText(static_cast<DWORD>(result));
  }
}

}  // namespace ostrevane::win32
