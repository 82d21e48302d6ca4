#include "library/DamageScan.h"

#include "bgl/Bgl.h"
#include "bgl/BglHeader.h"
#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/Folder.h"

namespace qor::library {

DamageScan ScanForDamage(const std::string& folder) {
  const std::vector<std::string> names = platform::ListFolderFiles(folder, "bgl");
  DamageScan scan;
  scan.checked = names.size();
  for (const std::string& name : names) {
    const std::string path = folder + name;
    try {
      const HeaderCheck header = CheckHeader(path);
      if (header.kind == HeaderKind::kOlderFormat) {
        scan.files.push_back(
            {name, true,
             Tr("ancien format (en-tête $0001, pas $0201) : ce programme ne le lit pas")});
        continue;
      }
      if (header.kind == HeaderKind::kDamaged) {
        scan.files.push_back({name, false, header.message});
        scan.damaged = true;
        continue;
      }
      const TBGL bgl(path, "", TBGL::Scope::WholeReadOnly);
    } catch (const Exception& e) {
      scan.files.push_back({name, false, e.what()});
      scan.damaged = true;
    }
  }
  return scan;
}

}  // namespace qor::library
