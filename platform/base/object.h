#pragma once
// The framework's common base of owned objects: only its virtual destructor is relied on, so
// that an owner can delete what it holds through a base pointer.

class CObject {
public:
    CObject() = default;
    virtual ~CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
