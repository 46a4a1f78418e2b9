#include "model/parameters.h"

#include "numeric/errors.h"
#include "numeric/files.h"
#include "numeric/utilities.h"

namespace velmora {

std::string statusname(char code) {
    switch (code) {
    case stFixed:
        return "Fixed";
    case stDefault:
        return "Default";
    case stImported:
        return "Imported";
    case stEdited:
        return "Edited";
    case stHidden:
        return "Hidden";
    case stUnknown:
        return "Unknown";
    default:
        return "?";
    }
}

std::string displayreal(const Tsettings& settings, float value, char status) {
    if (status == stHidden) return settings.HiddenText;
    if (status == stUnknown) return settings.UnknownText;
    if (approxequal(value, settings.InfValue)) return settings.InfText;
    return numtostr(value, settings.Digits);
}

float cellreal(const Tsettings& settings, const std::string& text) {
    if (text == settings.InfText) return settings.InfValue;
    return static_cast<float>(strtonum(text));
}

namespace {

// The value as the edit dialog shows it: 7 significant digits.
std::string edittext(const Tsettings& settings, float value) {
    if (approxequal(value, settings.InfValue)) return settings.InfText;
    return generalformat(value, 7);
}

// What the user typed, as a real: the infinite text or a number.
float editedreal(const Tsettings& settings, const std::string& text) {
    return cellreal(settings, text);
}

} // namespace

// ---- scalars ---------------------------------------------------------------

void Tscalarpar::noteread() {
    if (status == stHidden || status == stUnknown)
        context_->ui.warn("Parameter " + name_ + " has no value");
    used = true;
}

Tnumpar::Tnumpar(Tmodelcontext& context, std::string name, std::string unit)
    : Tscalarpar(context, std::move(name), std::move(unit)) {
    clear();
}

Tnumpar::Tnumpar(Tmodelcontext& context, std::string name, std::string unit, float x)
    : Tscalarpar(context, std::move(name), std::move(unit)) {
    value = x;
    status = stDefault;
    used = false;
}

void Tnumpar::clear() {
    value = 0;
    status = stUnknown;
    used = false;
}

float Tnumpar::get() {
    noteread();
    return value;
}

void Tnumpar::setdefault(float x) {
    value = x;
    status = stDefault;
}

bool Tnumpar::isinfinite() const {
    return approxequal(value, context_->settings.InfValue);
}

std::string Tnumpar::display() const {
    return displayreal(context_->settings, value, status);
}

void Tnumpar::readcell(const std::string& text) {
    if (text.empty()) {
        status = stUnknown;
        return;
    }
    value = cellreal(context_->settings, text);
    status = stImported;
}

bool Tnumpar::edit(const std::string& regionlabel, const Tvaluerange& range) {
    Teditrequest request;
    request.name = name_;
    request.regionlabel = regionlabel;
    request.unit = unit_;
    request.statusword = statusname(status);
    request.kind = Tvaluekind::real;
    request.valuetext = edittext(context_->settings, value);
    request.unknown = status == stUnknown;
    if (!context_->ui.editparameter(request)) return false;
    if (!request.answerknown) {
        status = stUnknown;
    } else {
        // The dialog shows 7 digits of a single; taking its unchanged text
        // back would round away the last digit of values read from a
        // workbook. An unchanged text keeps the stored value.
        const float entered = request.answertext != request.valuetext
                                  ? editedreal(context_->settings, request.answertext)
                                  : value;
        // What the imports refuse at the cell is refused here too: a negative
        // population or a vapour pressure of 0 typed in fails as late and
        // as namelessly as one read from a workbook.
        if (!range.contains(entered))
            throw EConvertError(name_ + "[" + regionlabel + "]: '" +
                                messagetext(request.answertext) +
                                "' is outside the allowed range (" + range.text() + ")");
        value = entered;
        status = stEdited;
    }
    return true;
}

Tintpar::Tintpar(Tmodelcontext& context, std::string name, std::string unit)
    : Tscalarpar(context, std::move(name), std::move(unit)) {
    clear();
}

void Tintpar::clear() {
    value = 0;
    status = stUnknown;
    used = false;
}

std::int32_t Tintpar::get() {
    noteread();
    return value;
}

void Tintpar::setdefault(std::int32_t x) {
    value = x;
    status = stDefault;
}

std::string Tintpar::display() const {
    const Tsettings& s = context_->settings;
    if (status == stHidden) return s.HiddenText;
    if (status == stUnknown) return s.UnknownText;
    return std::to_string(value);
}

void Tintpar::readcell(const std::string& text) {
    if (text.empty()) {
        status = stUnknown;
        return;
    }
    value = strtoint(text);
    status = stImported;
}

bool Tintpar::edit(const std::string& regionlabel) {
    Teditrequest request;
    request.name = name_;
    request.regionlabel = regionlabel;
    request.unit = unit_;
    request.statusword = statusname(status);
    request.kind = Tvaluekind::integer;
    request.valuetext = std::to_string(value);
    request.unknown = status == stUnknown;
    if (!context_->ui.editparameter(request)) return false;
    if (!request.answerknown) {
        status = stUnknown;
    } else {
        value = strtoint(request.answertext);
        status = stEdited;
    }
    return true;
}

Tstrpar::Tstrpar(Tmodelcontext& context, std::string name)
    : Tscalarpar(context, std::move(name), "-") {
    clear();
}

void Tstrpar::clear() {
    value.clear();
    status = stUnknown;
    used = false;
}

std::string Tstrpar::get() {
    noteread();
    return value;
}

void Tstrpar::setdefault(const std::string& x) {
    value = x;
    status = stDefault;
}

std::string Tstrpar::display() const {
    const Tsettings& s = context_->settings;
    if (status == stHidden) return s.HiddenText;
    if (status == stUnknown) return s.UnknownText;
    return value;
}

void Tstrpar::readcell(const std::string& text) {
    if (text.empty()) {
        status = stUnknown;
        return;
    }
    value = text;
    status = stImported;
}

bool Tstrpar::edit(const std::string& regionlabel) {
    Teditrequest request;
    request.name = name_;
    request.regionlabel = regionlabel;
    request.unit = "-";
    request.statusword = statusname(status);
    request.kind = Tvaluekind::text;
    request.valuetext = value;
    request.unknown = status == stUnknown;
    if (!context_->ui.editparameter(request)) return false;
    if (!request.answerknown) {
        status = stUnknown;
    } else {
        value = request.answertext;
        status = stEdited;
    }
    return true;
}

Tbooleanpar::Tbooleanpar(Tmodelcontext& context, std::string name)
    : Tscalarpar(context, std::move(name), "-") {
    clear();
}

Tbooleanpar::Tbooleanpar(Tmodelcontext& context, std::string name, bool b)
    : Tscalarpar(context, std::move(name), "-") {
    value = b;
    status = stDefault;
    used = false;
}

void Tbooleanpar::clear() {
    value = false;
    status = stUnknown;
    used = false;
}

bool Tbooleanpar::get() {
    noteread();
    return value;
}

void Tbooleanpar::setdefault(bool x) {
    value = x;
    status = stDefault;
}

std::string Tbooleanpar::display() const {
    const Tsettings& s = context_->settings;
    if (status == stHidden) return s.HiddenText;
    if (status == stUnknown) return s.UnknownText;
    return booltostr(value);
}

void Tbooleanpar::readcell(const std::string& text) {
    if (text.empty()) {
        status = stUnknown;
        return;
    }
    value = strtobool(text);
    status = stImported;
}

bool Tbooleanpar::edit(const std::string& regionlabel) {
    Teditrequest request;
    request.name = name_;
    request.regionlabel = regionlabel;
    request.unit = "-";
    request.statusword = statusname(status);
    request.kind = Tvaluekind::boolean;
    request.valuetext = value ? "True" : "False";
    request.unknown = status == stUnknown;
    if (!context_->ui.editparameter(request)) return false;
    if (!request.answerknown) {
        status = stUnknown;
    } else {
        value = strtobool(request.answertext);
        status = stEdited;
    }
    return true;
}

// ---- per index -------------------------------------------------------------

void Tvectorpar::noteread(std::uint32_t i) {
    char s = statuses.getvalue(i);
    if (s == stHidden || s == stUnknown)
        context_->ui.warn("Parameter " + name_ + "[" + indexname(i) + "] has no value");
    useds.setvalue(i, true);
}

Tnumpars::Tnumpars(Tmodelcontext& context, const Tindexspace& space, std::string name,
                   std::string unit)
    : Tvectorpar(context, space, std::move(name), std::move(unit)) {
    clear();
}

Tnumpars::Tnumpars(Tmodelcontext& context, const Tindexspace& space, std::string name,
                   std::string unit, float x)
    : Tvectorpar(context, space, std::move(name), std::move(unit)) {
    clear();
    for (std::uint32_t i = 1; i <= values.count(); ++i)
        setdefault(i, x);
}

void Tnumpars::clear() {
    std::uint32_t n = space_->indexcount();
    values.reset(n);
    statuses.reset(n);
    useds.reset(n);
    for (std::uint32_t i = 1; i <= n; ++i)
        statuses.setvalue_nocheck(i, stUnknown);
}

float Tnumpars::get(std::uint32_t i) {
    if (i == 0 || i > values.count()) throw ERangeError();
    noteread(i);
    return static_cast<float>(values.getvalue_nocheck(i));
}

void Tnumpars::setall(float x) {
    for (std::uint32_t i = 1; i <= values.count(); ++i)
        setdefault(i, x);
}

bool Tnumpars::isinfinite(std::uint32_t i) const {
    return approxequal(value(i), context_->settings.InfValue);
}

std::string Tnumpars::display(std::uint32_t i) const {
    return displayreal(context_->settings, value(i), status(i));
}

bool Tnumpars::edit(std::uint32_t i, const Tvaluerange& range) {
    Tnumpar temporary(*context_, name_, unit_);
    if (i >= 1) {
        temporary.value = value(i);
        temporary.status = status(i);
        bool ok = temporary.edit(indexname(i), range);
        set(i, temporary.value, temporary.status);
        return ok;
    }
    // "All": suggest the mean of the visible known values.
    extended sum = 0;
    std::uint32_t n = 0;
    for (std::uint32_t k = 1; k <= values.count(); ++k) {
        if (ishidden(k) || isunknown(k)) continue;
        sum += get(k);
        ++n;
    }
    // With nothing to average the suggestion is 0; no region takes it then.
    temporary.value = n > 0 ? static_cast<float>(sum / n) : 0.0f;
    temporary.status = '?';
    bool ok = temporary.edit("All", range);
    if (!ok) return false;
    // "Unknown" for all regions makes their values unknown; giving every
    // region the suggestion would lose each region's own value.
    const char result = temporary.status == stUnknown ? stUnknown : stEdited;
    for (std::uint32_t k = 1; k <= values.count(); ++k) {
        if (ishidden(k) || isunknown(k)) continue;
        if (result == stUnknown)
            setstatus(k, stUnknown);
        else
            set(k, temporary.value, stEdited);
    }
    return true;
}

Tbooleanpars::Tbooleanpars(Tmodelcontext& context, const Tindexspace& space, std::string name,
                           std::string unit)
    : Tvectorpar(context, space, std::move(name), std::move(unit)) {
    clear();
}

void Tbooleanpars::clear() {
    std::uint32_t n = space_->indexcount();
    values.reset(n);
    statuses.reset(n);
    useds.reset(n);
    for (std::uint32_t i = 1; i <= n; ++i)
        statuses.setvalue_nocheck(i, stUnknown);
}

bool Tbooleanpars::get(std::uint32_t i) {
    if (i == 0 || i > values.count()) throw ERangeError();
    noteread(i);
    return values.getvalue_nocheck(i);
}

std::string Tbooleanpars::display(std::uint32_t i) const {
    const Tsettings& s = context_->settings;
    char st = status(i);
    if (st == stHidden) return s.HiddenText;
    if (st == stUnknown) return s.UnknownText;
    return booltostr(value(i));
}

bool Tbooleanpars::edit(std::uint32_t i) {
    Tbooleanpar temporary(*context_, name_);
    if (i >= 1) {
        temporary.value = value(i);
        temporary.status = status(i);
        bool ok = temporary.edit(indexname(i));
        set(i, temporary.value, temporary.status);
        return ok;
    }
    int trues = 0, falses = 0;
    for (std::uint32_t k = 1; k <= values.count(); ++k) {
        if (ishidden(k) || isunknown(k)) continue;
        (get(k) ? trues : falses)++;
    }
    temporary.value = trues > falses;
    temporary.status = '?';
    bool ok = temporary.edit("All");
    if (!ok) return false;
    // "Unknown" for all regions makes their values unknown; giving every
    // region the suggestion would lose each region's own value.
    const char result = temporary.status == stUnknown ? stUnknown : stEdited;
    for (std::uint32_t k = 1; k <= values.count(); ++k) {
        if (ishidden(k) || isunknown(k)) continue;
        if (result == stUnknown)
            setstatus(k, stUnknown);
        else
            set(k, temporary.value, stEdited);
    }
    return true;
}

Tstrpars::Tstrpars(Tmodelcontext& context, const Tindexspace& space, std::string name,
                   std::string unit)
    : Tvectorpar(context, space, std::move(name), std::move(unit)) {
    clear();
}

void Tstrpars::clear() {
    std::uint32_t n = space_->indexcount();
    values.clear();
    if (n > 0) values.setvalue(n, std::string());
    for (std::uint32_t i = 1; i <= n; ++i)
        values.setvalue_nocheck(i, std::string());
    statuses.reset(n);
    useds.reset(n);
    for (std::uint32_t i = 1; i <= n; ++i)
        statuses.setvalue_nocheck(i, stUnknown);
}

std::string Tstrpars::get(std::uint32_t i) {
    if (i == 0 || i > values.count()) throw ERangeError();
    noteread(i);
    return values.getvalue_nocheck(i);
}

std::string Tstrpars::display(std::uint32_t i) const {
    const Tsettings& s = context_->settings;
    char st = status(i);
    if (st == stHidden) return s.HiddenText;
    if (st == stUnknown) return s.UnknownText;
    return value(i);
}

// ---- per pair --------------------------------------------------------------

Tnumparss::Tnumparss(Tmodelcontext& context, const Tindexspace& space, std::string name,
                     std::string unit, bool sparse)
    : context_(&context), space_(&space), name_(std::move(name)), unit_(std::move(unit)) {
    if (sparse && context.settings.SparsePairs) values.setstorage(indexedsparse);
    statuses.setfillvalue(stUnknown);
    clear();
}

void Tnumparss::clear() {
    std::uint32_t n = space_->indexcount();
    values.reset(n, n);
    statuses.reset(n, n); // every pair comes into use unknown
    useds.reset(n, n);
}

float Tnumparss::get(std::uint32_t i, std::uint32_t j) {
    char s = statuses.getvalue(i, j);
    if (s == stHidden || s == stUnknown)
        context_->ui.warn("Parameter " + name_ + "[" + space_->indexname(i) + "," +
                          space_->indexname(j) + "] has no value");
    useds.setvalue(i, j, true);
    return static_cast<float>(values.getvalue(i, j));
}

bool Tnumparss::isinfinite(std::uint32_t i, std::uint32_t j) const {
    return approxequal(value(i, j), context_->settings.InfValue);
}

std::string Tnumparss::display(std::uint32_t i, std::uint32_t j) const {
    return displayreal(context_->settings, value(i, j), status(i, j));
}

} // namespace velmora
