#pragma once
// The record cipher: directory text fields are stored enciphered as printable text.

#include "platform/base/CString.h"

class CCipher
{
public:
    // The document owns its cipher through a CCipher pointer and deletes it through that
    // pointer, so the destructor must be virtual.
    virtual ~CCipher() = default;

    virtual void Decrypt(const CString& strStored, CString& strPlain) = 0;
    virtual void Encrypt(const CString& strPlain, CString& strStored) = 0;
    virtual void SetKey(const CString& strKey) = 0;
};
