// clsQRCode::Encode lives apart from clsQRCode.cpp: it draws the symbol with
// GDI and OLE, and the rest of the class is portable code that is also built
// and tested on Linux. It belongs to the Windows-only renderer library.
#include "clsQRCode.h"

#include <ocidl.h>

#include "mdlFakeBarCode.h"

ScopedComPtr<IPictureDisp> clsQRCode::Encode(const std::uint8_t* data, int dataLength, int version,
                                             int ecLevel, int mask)
{
    // The finished matrix, or no symbol at all.
    const std::optional<ModuleMatrix> matrix =
        EncodeMatrix(data, dataLength, version, ecLevel, mask);
    if (!matrix) return {};
    // Drawn one pixel per module, with the four-module light margin.
    return CreateMatrixPicture(*matrix);
}
