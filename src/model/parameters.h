#pragma once
// Named model quantities with a unit, a one-letter status per value telling
// where it came from, and a used flag set when the calculation reads it.
#include <cstdint>
#include <string>

#include "model/settings.h"
#include "model/valuerange.h"
#include "numeric/matrices.h"
#include "numeric/vectors.h"

namespace velmora {

// Status letters.
constexpr char stFixed = 'F';
constexpr char stDefault = 'D';
constexpr char stImported = 'I';
constexpr char stEdited = 'E';
constexpr char stHidden = 'H';
constexpr char stUnknown = 'U';

std::string statusname(char code);
inline bool knownstatus(char s) {
    return s == stImported || s == stEdited || s == stDefault || s == stFixed;
}

// Shared fields of the scalar classes.
class Tscalarpar {
public:
    Tscalarpar(Tmodelcontext& context, std::string name, std::string unit)
        : context_(&context), name_(std::move(name)), unit_(std::move(unit)) {}
    const std::string& name() const { return name_; }
    const std::string& unit() const { return unit_; }

    char status = stUnknown;
    bool used = false;

    void setunknown() { status = stUnknown; }
    bool ishidden() const { return status == stHidden; }
    bool isunknown() const { return status == stUnknown; }
    bool isknown() const { return knownstatus(status); }
    bool isdefault() const { return status == stDefault; }
    Tmodelcontext& context() const { return *context_; }

protected:
    // The "has no value" warning of a read; sets the used flag.
    void noteread();
    Tmodelcontext* context_;
    std::string name_;
    std::string unit_;
};

class Tnumpar : public Tscalarpar {
public:
    Tnumpar(Tmodelcontext& context, std::string name, std::string unit);
    Tnumpar(Tmodelcontext& context, std::string name, std::string unit, float x);
    float value = 0;

    void clear();
    float get();
    void setdefault(float x);
    void set(float x, char s) {
        value = x;
        status = s;
    }
    void sethidden() { status = stHidden; }
    bool isinfinite() const;
    // An entry outside range is refused (a conversion error naming the
    // parameter, the region label and the range) and changes nothing.
    bool edit(const std::string& regionlabel = "All",
              const Tvaluerange& range = Tvaluerange::any());
    // Value text by the display rule.
    std::string display() const;
    // Reads the value from a spreadsheet cell text (empty: unknown).
    void readcell(const std::string& text);
};

class Tintpar : public Tscalarpar {
public:
    Tintpar(Tmodelcontext& context, std::string name, std::string unit);
    std::int32_t value = 0;

    void clear();
    std::int32_t get();
    void setdefault(std::int32_t x);
    void set(std::int32_t x, char s) {
        value = x;
        status = s;
    }
    void sethidden() { status = stHidden; }
    bool edit(const std::string& regionlabel = "All");
    std::string display() const;
    void readcell(const std::string& text);
};

class Tstrpar : public Tscalarpar {
public:
    Tstrpar(Tmodelcontext& context, std::string name);
    std::string value;

    void clear();
    std::string get();
    void setdefault(const std::string& x);
    void set(const std::string& x, char s) {
        value = x;
        status = s;
    }
    bool edit(const std::string& regionlabel = "All");
    std::string display() const;
    void readcell(const std::string& text);
};

class Tbooleanpar : public Tscalarpar {
public:
    Tbooleanpar(Tmodelcontext& context, std::string name);
    Tbooleanpar(Tmodelcontext& context, std::string name, bool b);
    bool value = false;

    void clear();
    bool get();
    void setdefault(bool x);
    void set(bool x, char s) {
        value = x;
        status = s;
    }
    bool edit(const std::string& regionlabel = "All");
    std::string display() const;
    void readcell(const std::string& text);
};

// Shared fields of the per-index classes (one value per region or regcomp).
class Tvectorpar {
public:
    Tvectorpar(Tmodelcontext& context, const Tindexspace& space, std::string name, std::string unit)
        : context_(&context), space_(&space), name_(std::move(name)), unit_(std::move(unit)) {}
    const std::string& name() const { return name_; }
    const std::string& unit() const { return unit_; }
    const Tindexspace& space() const { return *space_; }
    Tmodelcontext& context() const { return *context_; }

    Tcharvector statuses;
    Tbooleanvector useds;

    char status(std::uint32_t i) const { return statuses.getvalue(i); }
    void setstatus(std::uint32_t i, char s) { statuses.setvalue(i, s); }
    bool used(std::uint32_t i) const { return useds.getvalue(i); }
    bool ishidden(std::uint32_t i) const { return status(i) == stHidden; }
    bool isunknown(std::uint32_t i) const { return status(i) == stUnknown; }
    bool isknown(std::uint32_t i) const { return knownstatus(status(i)); }
    bool isdefault(std::uint32_t i) const { return status(i) == stDefault; }
    void setunknown(std::uint32_t i) { setstatus(i, stUnknown); }

protected:
    void noteread(std::uint32_t i);
    std::string indexname(std::uint32_t i) const { return space_->indexname(i); }
    Tmodelcontext* context_;
    const Tindexspace* space_;
    std::string name_;
    std::string unit_;
};

class Tnumpars : public Tvectorpar {
public:
    Tnumpars(Tmodelcontext& context, const Tindexspace& space, std::string name, std::string unit);
    Tnumpars(Tmodelcontext& context, const Tindexspace& space, std::string name, std::string unit,
             float x);
    Tnumvector values;

    std::uint32_t count() const { return values.count(); }
    void clear();
    float value(std::uint32_t i) const { return static_cast<float>(values.getvalue(i)); }
    float get(std::uint32_t i);
    void set(std::uint32_t i, float x, char s) {
        values.setvalue(i, x);
        statuses.setvalue(i, s);
        if (useds.count() < i) useds.setvalue(i, false);
    }
    void setdefault(std::uint32_t i, float x) { set(i, x, stDefault); }
    void setall(float x);
    void sethidden(std::uint32_t i) { setstatus(i, stHidden); }
    bool isinfinite(std::uint32_t i) const;
    bool edit(std::uint32_t i, const Tvaluerange& range = Tvaluerange::any());
    std::string display(std::uint32_t i) const;
};

class Tbooleanpars : public Tvectorpar {
public:
    Tbooleanpars(Tmodelcontext& context, const Tindexspace& space, std::string name,
                 std::string unit);
    Tbooleanvector values;

    std::uint32_t count() const { return values.count(); }
    void clear();
    bool value(std::uint32_t i) const { return values.getvalue(i); }
    bool get(std::uint32_t i);
    void set(std::uint32_t i, bool x, char s) {
        values.setvalue(i, x);
        statuses.setvalue(i, s);
        if (useds.count() < i) useds.setvalue(i, false);
    }
    bool edit(std::uint32_t i);
    std::string display(std::uint32_t i) const;
};

class Tstrpars : public Tvectorpar {
public:
    Tstrpars(Tmodelcontext& context, const Tindexspace& space, std::string name, std::string unit);
    Tstrvector values;

    std::uint32_t count() const { return values.count(); }
    void clear();
    std::string value(std::uint32_t i) const { return values.getvalue(i); }
    std::string get(std::uint32_t i);
    void set(std::uint32_t i, const std::string& x, char s) {
        values.setvalue(i, x);
        statuses.setvalue(i, s);
        if (useds.count() < i) useds.setvalue(i, false);
    }
    std::string display(std::uint32_t i) const;
};

// One real value per ordered pair of indices (row = first, column = second).
// The values switch to indexed sparse storage when created with the sparse
// flag while the workspace's SparsePairs is on. Statuses and used flags stay
// dense: every pair carries a status letter after clearing, so a sparse
// table would hold an item for every cell.
class Tnumparss {
public:
    Tnumparss(Tmodelcontext& context, const Tindexspace& space, std::string name, std::string unit,
              bool sparse);
    const std::string& name() const { return name_; }
    const std::string& unit() const { return unit_; }
    const Tindexspace& space() const { return *space_; }

    Tnummatrix values;
    Tcharmatrix statuses;
    Tbooleanmatrix useds;

    std::uint32_t count() const { return values.rows(); }
    void clear();
    float value(std::uint32_t i, std::uint32_t j) const {
        return static_cast<float>(values.getvalue(i, j));
    }
    float get(std::uint32_t i, std::uint32_t j);
    char status(std::uint32_t i, std::uint32_t j) const { return statuses.getvalue(i, j); }
    bool used(std::uint32_t i, std::uint32_t j) const { return useds.getvalue(i, j); }
    void set(std::uint32_t i, std::uint32_t j, float x, char s) {
        values.setvalue(i, j, x);
        statuses.setvalue(i, j, s);
    }
    void setdefault(std::uint32_t i, std::uint32_t j, float x) { set(i, j, x, stDefault); }
    void sethidden(std::uint32_t i, std::uint32_t j) { statuses.setvalue(i, j, stHidden); }
    bool ishidden(std::uint32_t i, std::uint32_t j) const { return status(i, j) == stHidden; }
    bool isunknown(std::uint32_t i, std::uint32_t j) const { return status(i, j) == stUnknown; }
    bool isknown(std::uint32_t i, std::uint32_t j) const { return knownstatus(status(i, j)); }
    bool isinfinite(std::uint32_t i, std::uint32_t j) const;
    std::string display(std::uint32_t i, std::uint32_t j) const;

private:
    Tmodelcontext* context_;
    const Tindexspace* space_;
    std::string name_;
    std::string unit_;
};

// The display rule for one real value with its status.
std::string displayreal(const Tsettings& settings, float value, char status);

// Reads a real from a cell text: InfText gives InfValue, else the number parser.
float cellreal(const Tsettings& settings, const std::string& text);

} // namespace velmora
