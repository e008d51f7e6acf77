#pragma once
// The XML helpers every reader uses: lookups, typed reads and writes, loading through the
// file manager (plain, gzip or zlib), saving under the user folders, and the content hash
// kept in a document's "hash" attribute.
//
// Lookups by child or attribute name compare exactly; the depth-first searches ignore
// case. Boolean texts are true for "yes" or "1" in any case. Floats are written "%.4f".

#include <cstdint>
#include <memory>
#include <string>

typedef struct _xmlNode xmlNode;
typedef struct _xmlDoc xmlDoc;
typedef struct _xmlAttr xmlAttr;

struct XmlDocDeleter {
    void operator()(xmlDoc* doc) const;
};
using XmlDocument = std::unique_ptr<xmlDoc, XmlDocDeleter>;

xmlNode* XmlRoot(xmlDoc* doc);
// Tree walking without the library's headers.
xmlNode* XmlChildren(const xmlNode* node);
xmlNode* XmlNext(const xmlNode* node);
// The element's name, or "" for anything else.
std::string XmlName(const xmlNode* node);
// The text of an element: its first child's content when that child is text, else "".
std::string XmlNodeText(const xmlNode* node);

// Lookups (a null node finds nothing).
// The n-th element (from 1) named exactly `name` in the sibling chain starting at `first`.
xmlNode* XmlGetChild(xmlNode* first, const char* name, int n = 1);
xmlAttr* XmlGetAttr(const xmlNode* node, const char* name);
// The value of the attribute, or null when it is missing.
const char* XmlGetAttrValue(const xmlNode* node, const char* name);
// Depth-first, names ignoring case: the node, its children, then its following siblings.
xmlNode* XmlFindNode(xmlNode* node, const char* name);
// An element named `name` whose first child's content equals `text` (case ignored).
xmlNode* XmlFindNodeWithAttr(xmlNode* node, const char* name, const char* text);
// An element named `name` whose attribute `attribute` equals `value` (a missing attribute
// counts as empty text).
xmlNode* XmlFindNodeWithAttrValue(xmlNode* node, const char* name, const char* attribute, const char* value);
// The first element that has an attribute of that name.
xmlNode* XmlFindNodeHavingAttr(xmlNode* node, const char* attribute);
xmlNode* XmlFindComment(xmlNode* node);
// The next element named `name` in document order from `node` on (leaving the subtree
// upwards), skipping `skip`; repeated calls walk every element of a name.
xmlNode* XmlFindNodeFrom(xmlNode* node, const char* name, const xmlNode* skip);

// Typed reads with a defaults node: the child `name` (else `secondName`) of the node, then
// of the defaults node. Missing from both: throws GameException with
// "The requested tag [%s] was not found in level and in defaults\n".
std::string XmlGetTagText(xmlNode* node, const char* name, xmlNode* defaults = nullptr,
                          const char* secondName = nullptr);
std::string XmlGetTagString(xmlNode* node, const char* name, xmlNode* defaults = nullptr,
                            const char* secondName = nullptr);
bool XmlGetTagBool(xmlNode* node, const char* name, xmlNode* defaults = nullptr, const char* secondName = nullptr);
// Leading decimal digits of the tag text, modulo 2^32; 0 when it does not begin with one.
uint32_t XmlGetTagUInt(xmlNode* node, const char* name, xmlNode* defaults = nullptr,
                       const char* secondName = nullptr);

// The tag text (as XmlGetTagText, throwing when missing) read as atoi reads it. A value
// beyond 32 bits gives `fallback` with a log line.
int32_t XmlGetTagInt(xmlNode* node, const char* name, xmlNode* defaults, int32_t fallback,
                     const char* secondName = nullptr);
// The tag text read as atof reads it. A value that is not finite or beyond the float
// range gives `fallback` with a log line.
float XmlGetTagFloat(xmlNode* node, const char* name, xmlNode* defaults, float fallback,
                     const char* secondName = nullptr);

// Child reads with a default (atoi / atof semantics).
int XmlGetChildInt(xmlNode* node, const char* name, int defaultValue);
float XmlGetChildFloat(xmlNode* node, const char* name, float defaultValue);
bool XmlGetChildBool(xmlNode* node, const char* name);
bool XmlGetAttrBool(const xmlNode* node, const char* name);
// The attribute of the node, else of the defaults node, as a boolean; missing from both
// throws GameException("Attribute not found in original or in defaults").
bool XmlGetAttrWithDefault(const xmlNode* node, const xmlNode* defaults, const char* name);

// Writes. Texts are stored literally ('&' and '<' are escaped on output).
xmlNode* XmlAddChildFloat(xmlNode* parent, const char* name, float value);
// Set-or-add: replaces the text of the child named exactly so, else adds one.
xmlNode* XmlAddChildText(xmlNode* parent, const char* name, const std::string& text);
xmlNode* XmlAddChildInt(xmlNode* parent, const char* name, int value);
xmlNode* XmlSetChildFloat(xmlNode* parent, const char* name, float value);
void XmlSetAttrInt(xmlNode* node, const char* name, int value);
void XmlSetAttrText(xmlNode* node, const char* name, const std::string& value);
// A new empty element child.
xmlNode* XmlNewChild(xmlNode* parent, const char* name);
// Unlinks and frees a node with its subtree.
void XmlRemoveNode(xmlNode* node);
// A new document with a root element of that name.
XmlDocument XmlNewDocument(const char* rootName);

// Files.
// Loads through `fileManager`: gzip (1F 8B) or zlib data is inflated first; blank text
// nodes are dropped. Null when the file is missing, empty, broken or not well formed.
XmlDocument XmlLoadFile(const std::string& name);
// The same for a file start-up cannot do without: throws GameException(failure) when it
// cannot be read or has no root element.
XmlDocument XmlLoadFileOrThrow(const std::string& name, const char* failure);
// Loads a file straight from the user-folder map (user files the index may not know yet).
XmlDocument XmlLoadUserFile(const std::string& name);
XmlDocument XmlCopyDocument(xmlDoc* doc);
// Loads a file by its path on this machine.
XmlDocument XmlLoadHostFile(const std::string& hostPath);
// Parses a buffer the same way (the loader's second half).
XmlDocument XmlParseBuffer(const void* data, size_t size, const std::string& label);
// The document as UTF-8 text with its XML declaration, unindented (network payloads).
std::string XmlDocumentText(xmlDoc* doc);
// Saves indented under the user-folder map; gzip when the document has a compression level.
// Returns the bytes written, negative on failure.
int XmlSaveFile(xmlDoc* doc, const std::string& name);
// Saves indented below the user folder whatever the path's first folder (a user's copy of
// a program file). Returns the bytes written, negative on failure.
int XmlSaveUserCopy(xmlDoc* doc, const std::string& name);
// Loads a file, sets the content hash on its root and saves it back under the same name.
bool XmlRehashFile(const std::string& name);

// Content hash: an MD5 over element names, first-child contents and attributes (the
// "debug" element's own and every "hash" attribute left out), written as upper-case hex
// without zero padding. Each computation draws 16 values from the simulation generator.
std::string XmlComputeHash(xmlNode* node);
void XmlSetHash(xmlNode* node);
bool XmlVerifyHash(xmlNode* node);
// True while XmlVerifyHash runs (the command executor waits for it).
bool IsHashCheckInProgress();
