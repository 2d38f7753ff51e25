#pragma once

#include "platform/sqldb/sql_exception.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace sqldb {
class Statement;
}

// One SQLite database file: the material database (the metals in table
// "Metals", who changed them and their locks in table "Controls") or one of
// the read-only steel shape databases. Every failure throws sql_exception.
// Texts travel as UTF-8 inside the file and as wide strings outside; every
// value goes into SQL as a bound parameter.
//
// The 37 numbers of a metal, in the order of addMetal, editMetal and getMetal:
// E, Ec, density, thickness, Ftu_L, Ftu_LT, Fty_L, Fty_LT, Fcy_L, Fcy_LT,
// Fcu_L, Fcu_LT, Fsu_LT, Fsu_L, nu, G, Fbru15, Fbru20, Fbry15, Fbry20, red,
// green, blue, alpha (tension L, tension LT, compression L, compression LT),
// n from initial slope to yield (same four), n from yield to ultimate (same
// four), maximum tensile strain, maximum compression strain.
class CSQLDatabase {
public:
    // Capacities of the callers' text buffers, in wide characters with the
    // terminating zero: a text may hold at most capacity - 1 characters.
    static constexpr std::size_t NameCapacity = 120;
    static constexpr std::size_t FamilyCapacity = 50;
    static constexpr std::size_t FormCapacity = 50;
    static constexpr std::size_t TemperCapacity = 20;
    static constexpr std::size_t SizeCapacity = 50;
    static constexpr std::size_t SpecCapacity = 120;
    static constexpr std::size_t UnitsCapacity = 10;
    static constexpr std::size_t UnsCapacity = 50;
    static constexpr int MetalValueCount = 37;

    // Binds the object to the file at path; opens nothing.
    explicit CSQLDatabase(std::wstring path);
    // Closes the connection.
    ~CSQLDatabase();
    CSQLDatabase(const CSQLDatabase&) = delete;
    CSQLDatabase& operator=(const CSQLDatabase&) = delete;

    // Opens the existing file read-write (read-only when the file is write
    // protected); never creates one. Throws when the file is missing or is
    // not an SQLite database.
    void connect();
    // Closes the connection, ending any name listing; harmless when closed.
    void close();

    // Creates a new, empty database file at path and keeps it open; the
    // object is bound to path from then on. Throws when a file exists there.
    void createDatabase(const std::wstring& path);
    // Creates the metals table of a new database.
    void createMetalTable();
    // Creates the controls table of a new database.
    void createControlsTable();

    // Records who last changed the material name and whether it is locked,
    // replacing any earlier record of that name.
    void UpdateControls(const std::wstring& name, const std::wstring& user, bool locked);
    // False when the material name is locked; a name without a controls
    // record is editable.
    bool IsEditable(const std::wstring& name);

    // Stores a new metal. False, and nothing written, when a metal of that name
    // exists. Each text must end within its capacity (see above): a longer
    // one throws and nothing is written.
    bool addMetal(const wchar_t* name, const wchar_t* family, const wchar_t* form,
        const wchar_t* temper, const wchar_t* size, const wchar_t* spec,
        const wchar_t* units, const wchar_t* uns, bool isotropic,
        double E, double Ec, double density, double thickness,
        double Ftu_L, double Ftu_LT, double Fty_L, double Fty_LT,
        double Fcy_L, double Fcy_LT, double Fcu_L, double Fcu_LT,
        double Fsu_LT, double Fsu_L, double nu, double G,
        double Fbru15, double Fbru20, double Fbry15, double Fbry20,
        double red, double green, double blue,
        double alphaTensionL, double alphaTensionLT,
        double alphaCompressionL, double alphaCompressionLT,
        double nYieldTensionL, double nYieldTensionLT,
        double nYieldCompressionL, double nYieldCompressionLT,
        double nUltimateTensionL, double nUltimateTensionLT,
        double nUltimateCompressionL, double nUltimateCompressionLT,
        double maxTensileStrain, double maxCompressionStrain);

    // Replaces every value of the metal called name; true when a stored metal
    // had that name. Texts are checked as in addMetal.
    bool editMetal(const wchar_t* name, const wchar_t* family, const wchar_t* form,
        const wchar_t* temper, const wchar_t* size, const wchar_t* spec,
        const wchar_t* units, const wchar_t* uns, bool isotropic,
        double E, double Ec, double density, double thickness,
        double Ftu_L, double Ftu_LT, double Fty_L, double Fty_LT,
        double Fcy_L, double Fcy_LT, double Fcu_L, double Fcu_LT,
        double Fsu_LT, double Fsu_L, double nu, double G,
        double Fbru15, double Fbru20, double Fbry15, double Fbry20,
        double red, double green, double blue,
        double alphaTensionL, double alphaTensionLT,
        double alphaCompressionL, double alphaCompressionLT,
        double nYieldTensionL, double nYieldTensionLT,
        double nYieldCompressionL, double nYieldCompressionLT,
        double nUltimateTensionL, double nUltimateTensionLT,
        double nUltimateCompressionL, double nUltimateCompressionLT,
        double maxTensileStrain, double maxCompressionStrain);

    // Reads the metal whose name is in the name buffer (capacity NameCapacity)
    // into the buffers of the capacities above, the flag and the 37 numbers;
    // a null output is skipped. False, outputs untouched, when no metal has
    // the name. A stored text too long for its buffer throws and no output is
    // written. With several metals of the name, the first stored one is read.
    bool getMetal(wchar_t* name, wchar_t* family, wchar_t* form, wchar_t* temper,
        wchar_t* size, wchar_t* spec, wchar_t* units, wchar_t* uns, bool* isotropic,
        double* E, double* Ec, double* density, double* thickness,
        double* Ftu_L, double* Ftu_LT, double* Fty_L, double* Fty_LT,
        double* Fcy_L, double* Fcy_LT, double* Fcu_L, double* Fcu_LT,
        double* Fsu_LT, double* Fsu_L, double* nu, double* G,
        double* Fbru15, double* Fbru20, double* Fbry15, double* Fbry20,
        double* red, double* green, double* blue,
        double* alphaTensionL, double* alphaTensionLT,
        double* alphaCompressionL, double* alphaCompressionLT,
        double* nYieldTensionL, double* nYieldTensionLT,
        double* nYieldCompressionL, double* nYieldCompressionLT,
        double* nUltimateTensionL, double* nUltimateTensionLT,
        double* nUltimateCompressionL, double* nUltimateCompressionLT,
        double* maxTensileStrain, double* maxCompressionStrain);

    // True when a metal has the name.
    bool matlExists(const std::wstring& name);
    // Deletes every metal of the name (UTF-8) and its controls record; true
    // when a metal was deleted.
    bool deleteMaterial(const std::string& name);
    // Deletes every metal and every controls record; throws "no such table:
    // Metals" on a file without the metals table.
    void deleteAll();
    // Stores a copy of the metal name under newName (its controls are not
    // copied). Throws when name is missing, newName is taken or too long.
    void createSimilarTable(const std::wstring& name, const std::wstring& newName);

    // The names of the metals whose column ("Family", "Name", "Spec" or "UNS")
    // contains text, ignoring ASCII case; each name once, in storage order.
    std::vector<std::wstring> getList(const std::wstring& column, const std::wstring& text);
    // Starts a listing of every metal's name and units, in storage order.
    void prepGetMetalNames();
    // The next name and units of the listing; false at its end, which also
    // ends the listing. Throws when no listing was started.
    bool getNextMetalName(std::wstring& name, std::wstring& units);

    // The first column of every row of the query sql, as texts (NULL empty).
    std::vector<std::wstring> fetchShapes(const std::string& sql);
    // The first n columns of the first row of the query sql as numbers; fewer
    // when the row has fewer columns, none when there is no row.
    std::vector<double> fetchShapeDimensions(const std::string& sql, int n);
    // The first column of the first row of the query sql as a number; throws
    // when the query gives no row.
    double getDouble(const std::string& sql);

    // The path of the file the object is bound to.
    const std::wstring& path() const { return path_; }

private:
    sqlite3* handle();
    void open(int flags);
    sqldb::Statement query(const std::string& sql);
    bool storeMetal(bool replace, const wchar_t* const texts[], bool isotropic, const double values[]);
    bool loadMetal(wchar_t* const texts[], bool* isotropic, double* const values[]);

    std::wstring path_;
    sqlite3* db_ = nullptr;
    std::unique_ptr<sqldb::Statement> names_;
};
