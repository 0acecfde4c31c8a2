// The viewer's document: loaded from a file, it agrees with the reference
// model of the randomized test in every block, index entry and view, and
// every byte of every line is reachable through the index.
#include "fuzz_input.h"
#include "viewer/document_model.h"
#include "viewer/view_document.h"

using namespace qelvrin;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file = fuzz::bytes(data, size);
    ViewDocument document;
    require(document.load(fuzz::scratchFile(QStringLiteral("view.txt"), file)), "the file loads");
    const QString mismatch = testing::documentMismatch(document, file);
    if (!mismatch.isEmpty())
        qFatal("document differs from the model: %s", qPrintable(mismatch));
    return 0;
}
