// libFuzzer target that keeps the package intact: the mutator unpacks the .docx,
// mutates one of its entries (mostly the XML) and packs it again, so the inputs get
// past the ZIP layer and exercise the XML reading.
#include <QList>
#include <QString>
#include <cstring>
#include <random>

#include "docx_fuzz_common.h"
#include "exchange/zip_archive.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

struct Entry {
    QString name;
    QByteArray bytes;
};

bool unpack(const uint8_t* data, size_t size, QList<Entry>& entries) {
    arbor::archive::ZipReader zip;
    QString error;
    if (!zip.openBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), error))
        return false;
    for (const arbor::archive::EntryInfo& e : zip.entries()) {
        QByteArray bytes;
        if (!zip.read(e.name, 1 << 20, bytes, error))
            return false;
        entries.append({e.name, bytes});
    }
    return !entries.isEmpty();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    arbor::fuzz::startGui(argc, argv);
    return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    QList<Entry> entries;
    if (!unpack(data, size, entries))
        return LLVMFuzzerMutate(data, size, maxSize);
    std::minstd_rand random(seed);
    // Prefer the XML parts; document.xml most of all.
    qsizetype pick = qsizetype(random() % quint32(entries.size()));
    if (random() % 2 == 0)
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (entries[i].name.endsWith(QLatin1String("document.xml")))
                pick = i;
    QByteArray& bytes = entries[pick].bytes;
    const size_t original = size_t(bytes.size());
    const size_t room = std::max<size_t>(original * 2 + 64, 256);
    bytes.resize(qsizetype(room));
    const size_t used = LLVMFuzzerMutate(reinterpret_cast<uint8_t*>(bytes.data()), original, room);
    bytes.resize(qsizetype(used));
    arbor::archive::ZipWriter zip;
    for (const Entry& e : entries)
        zip.add(e.name, e.bytes);
    QString error;
    const QByteArray packed = zip.finish(error);
    if (packed.isEmpty() || size_t(packed.size()) > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, packed.constData(), size_t(packed.size()));
    return size_t(packed.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    arbor::fuzz::readWriteRead(data, size);
    return 0;
}
