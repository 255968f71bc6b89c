#pragma once
// The table of embedded resources that the build generates from resources/resources.list.

struct ResourceEntry {
    const char* type;            // type name as listed, e.g. "CustomData"
    int number;                  // resource number
    const unsigned char* begin;  // embedded bytes
    const unsigned char* end;
};

extern const ResourceEntry kResourceTable[];
extern const int kResourceCount;
