#include "platform/Errors.h"

#include "lang/Tr.h"

namespace qor {

EReadBeyondEnd::EReadBeyondEnd() : EInOutError(Tr("Lecture au-delà de la fin de fichier")) {}

}  // namespace qor
