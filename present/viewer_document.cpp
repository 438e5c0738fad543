#include "present/viewer_document.h"

MarshalDocument ViewerDocument;
MarshalNode& DocumentRoot = ViewerDocument.root;

int LoadDocument(std::FILE* file) { return LoadIntoDocument(&ViewerDocument, file); }

int LoadDocumentFromMemory(const void* data, std::size_t size) {
    return LoadIntoDocumentFromMemory(&ViewerDocument, data, size);
}

int LoadedNestingDepth() { return ViewerDocument.loadedDepth; }
