// Writes the form overlays and the soft fonts into the program directory:
//   formimagegen FORMS_DIR OUT_DIR REGULAR_FONT BOLD_FONT

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "assets/formimages/formdescription.h"
#include "assets/formimages/overlaywriter.h"
#include "assets/formimages/softfont.h"

namespace {

void WriteWhole(const std::string& Path, const std::string& Bytes)
{
    std::string part = Path + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
        if (!out.flush())
            throw std::runtime_error("cannot write " + part);
    }
    if (std::rename(part.c_str(), Path.c_str()) != 0)
        throw std::runtime_error("cannot replace " + Path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: formimagegen FORMS_DIR OUT_DIR REGULAR_FONT BOLD_FONT\n");
        return 2;
    }
    const std::string formsDir = argv[1], outDir = std::string(argv[2]) + "/";
    try {
        formimages::FormSet forms = formimages::LoadFormSet(formsDir);
        for (const formimages::Overlay& o : forms.Overlays)
            WriteWhole(outDir + o.FileName, formimages::WriteOverlay(formimages::BuildPage(forms, o)));
        WriteWhole(outDir + "FONT1.PRN", formimages::WriteSoftFont({argv[3], 1, 8, 0, 4, "TOTAMUND SANS"}));
        WriteWhole(outDir + "FONT2.PRN", formimages::WriteSoftFont({argv[4], 2, 8, 1, 4, "TOTAMUND SANS B"}));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "formimagegen: %s\n", e.what());
        return 1;
    }
    return 0;
}
