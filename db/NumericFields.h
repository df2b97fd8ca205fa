#pragma once

// Integer, Boolean and floating-point fields.

#include "db/Field.h"

namespace tavisto {

class TIntegerField : public TField {
public:
    TIntegerField() : TField(ftInteger, 0) {}
    int DataSize() const override { return 4; }
    Variant Value() const override;

protected:
    explicit TIntegerField(TFieldType type) : TField(type, 0) {}
    void AssignValue(const Variant& value) override;
    int DefaultDisplayWidth() const override { return 11; }
};

// A 16-bit integer; values outside -32768 to 32767 are refused.
class TSmallintField : public TIntegerField {
public:
    TSmallintField() : TIntegerField(ftSmallint) {}
    int DataSize() const override { return 2; }
    Variant Value() const override;

protected:
    void AssignValue(const Variant& value) override;
    int DefaultDisplayWidth() const override { return 6; }
};

// Shown as "True" and "False"; set from Booleans, numbers (non-zero is true) or those texts.
class TBooleanField : public TField {
public:
    TBooleanField() : TField(ftBoolean, 0) {}
    int DataSize() const override { return 2; }
    Variant Value() const override;

protected:
    void AssignValue(const Variant& value) override;
    int DefaultDisplayWidth() const override { return 5; }
};

// Shown in the general format with 15 significant digits and the locale's decimal separator.
class TFloatField : public TField {
public:
    TFloatField() : TField(ftFloat, 0) {}
    int DataSize() const override { return 8; }
    Variant Value() const override;

protected:
    explicit TFloatField(TFieldType type) : TField(type, 0) {}
    void AssignValue(const Variant& value) override;
    int DefaultDisplayWidth() const override { return 10; }
};

class TCurrencyField : public TFloatField {
public:
    TCurrencyField() : TFloatField(ftCurrency) {}
};

}  // namespace tavisto
