#include "hostfw/res/epiResourcePack.h"

#include "hostfw/core/epiFile.h"
#include "hostfw/core/epiFileDump.h"
#include "hostfw/res/epiAtomsFile.h"

#include <string>

epiResourcePack::~epiResourcePack()
{
    closePack();
}

void epiResourcePack::releaseIndex()
{
    entries_.clear();
    if (ownsAtoms_)
        delete atoms_;
    atoms_ = nullptr;
    ownsAtoms_ = false;
}

void epiResourcePack::closePack()
{
    if (atoms_)
        atoms_->close();
    releaseIndex();
}

bool epiResourcePack::openPack(const epiPath& path)
{
    closePack();
    atoms_ = new epiAtomsFile;
    ownsAtoms_ = true;
    if (!atoms_->open(path, epiFile::kRead)) {
        releaseIndex();
        return false;
    }
    return readIndex(nullptr);
}

bool epiResourcePack::readIndex(epiAtomsFile* atoms)
{
    if (atoms) {
        releaseIndex();
        atoms_ = atoms;
        ownsAtoms_ = false;
    }
    if (!atoms_)
        return false;
    std::uint32_t version = 0, count = 0;
    if (!atoms_->readUInt32(epiCode("eRpk"), version) || version != 1 ||
        !atoms_->readUInt32(epiCode("sCnt"), count)) {
        releaseIndex();
        return false;
    }
    // Entries are added as they are read, never reserved from the stored
    // count, so a damaged count costs nothing.
    for (std::uint32_t i = 0; i < count; ++i) {
        epiText name;
        std::uint32_t size = 0, length = 0;
        std::int64_t position = 0;
        if (!atoms_->readText(epiCode("Name"), name) ||
            !atoms_->readUInt32(epiCode("Size"), size) ||
            !atoms_->skipAtom(epiCode("Data"), length, position)) {
            releaseIndex();
            return false;
        }
        entries_.push_back(std::make_unique<fileElem>(name, position, length));
    }
    return true;
}

bool epiResourcePack::findEntry(const char* name, const fileElem** entry) const
{
    if (entry)
        *entry = nullptr;
    if (!name)
        return false;
    std::string wanted = name;
    if (wanted.empty() || wanted[0] != '/')
        wanted.insert(0, 1, '/');
    for (const auto& e : entries_) {
        if (e->str() == wanted) {
            if (entry)
                *entry = e.get();
            return true;
        }
    }
    return false;
}

bool epiResourcePack::extract(const char* name, epiFileDump& dump)
{
    const fileElem* entry = nullptr;
    if (!findEntry(name, &entry) || !atoms_)
        return false;
    if (!dump.allocate(entry->length, true))
        return false;
    // Read straight from the recorded position.
    if (!atoms_->readRaw(entry->position, dump.getData(), entry->length)) {
        dump.releaseData();
        return false;
    }
    return true;
}

bool epiResourcePack::getEntryName(std::size_t index, epiText& name) const
{
    if (index >= entries_.size())
        return false;
    name.assign(entries_[index]->getCStr());
    return true;
}
