#include "standin/analytes.h"

#include <array>

namespace qelvrin::standin {

namespace {

const std::array<Analyte, 24>& contractList()
{
    static const std::array<Analyte, 24> list{{
        {"AL", "Aluminum", 200, 180, {}},
        {"SB", "Antimony", 60, 180, {}},
        {"AS", "Arsenic", 10, 180, {}},
        {"BA", "Barium", 200, 180, {}},
        {"BE", "Beryllium", 5, 180, {}},
        {"CD", "Cadmium", 5, 180, {}},
        {"CA", "Calcium", 5000, 180, {}},
        {"CR", "Chromium", 10, 180, {}},
        {"CO", "Cobalt", 50, 180, {}},
        {"CU", "Copper", 25, 180, {}},
        {"FE", "Iron", 100, 180, {}},
        {"PB", "Lead", 3, 180, {}},
        {"MG", "Magnesium", 5000, 180, {}},
        {"MN", "Manganese", 15, 180, {}},
        {"HG", "Mercury", 0.2, 28, "CV"},
        {"NI", "Nickel", 40, 180, {}},
        {"K", "Potassium", 5000, 180, {}},
        {"SE", "Selenium", 5, 180, {}},
        {"AG", "Silver", 10, 180, {}},
        {"NA", "Sodium", 5000, 180, {}},
        {"TL", "Thallium", 10, 180, {}},
        {"V", "Vanadium", 50, 180, {}},
        {"ZN", "Zinc", 20, 180, {}},
        {"CN", "Cyanide", 10, 14, "C"},
    }};
    return list;
}

} // namespace

const Analyte* findAnalyte(QByteArrayView symbol)
{
    for (const Analyte& analyte : contractList()) {
        if (analyte.symbol == symbol)
            return &analyte;
    }
    return nullptr;
}

} // namespace qelvrin::standin
